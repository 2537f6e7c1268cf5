#pragma once

#include <QTableView>
#include <vector>

#include "app/status.h"

namespace tarn::gui {

class PartRowsModel;

// The dockable list of the job's parts: name, id, placed or waiting, turned
// over. The selected parts are the selected rows; a selection the user makes
// in the list is reported by the parts' ids.
class PartsList : public QTableView {
  Q_OBJECT

 public:
  explicit PartsList(QWidget* parent = nullptr);

  // Shows these rows and selects the rows of the selected parts.
  void showRows(std::vector<PartRow> rows);
  int rowCount() const;
  // The id shown in a row.
  int idAt(int row) const;

 signals:
  void selectionEdited(const std::vector<int>& ids);

 private:
  void reportSelection();

  PartRowsModel* model_;
  bool syncing_ = false;
};

}  // namespace tarn::gui
