#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>
#include <vector>

#include "library/drawing_job.h"

class QSpinBox;

namespace Ui {
class DrawingsDialog;
}  // namespace Ui

namespace tarn::gui {

// "Open Drawings": the plate's length and width, the gap and a count per
// drawing, filled from a request and read back as one. The spin boxes keep
// every number in the range the core accepts.
class DrawingsDialog : public QDialog {
  Q_OBJECT

 public:
  DrawingsDialog(QWidget* owner, const DrawingJobRequest& request);
  ~DrawingsDialog() override;

  DrawingJobRequest request() const;
  // The count of the drawing in `row`, or nullptr.
  QSpinBox* countBox(int row) const;

 private:
  std::unique_ptr<Ui::DrawingsDialog> ui_;
  std::vector<std::filesystem::path> paths_;
};

}  // namespace tarn::gui
