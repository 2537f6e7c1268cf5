#include "app/gui/parts_list.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <utility>

#include "app/app_texts.h"
#include "app/gui/display_text.h"

namespace tarn::gui {

class PartRowsModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  enum Column { kName, kId, kState, kTurnedOver, kColumnCount };

  const std::vector<PartRow>& rows() const { return rows_; }

  void setRows(std::vector<PartRow> rows) {
    if (rows.size() != rows_.size()) {
      beginResetModel();
      rows_ = std::move(rows);
      endResetModel();
      return;
    }
    rows_ = std::move(rows);
    if (!rows_.empty()) {
      emit dataChanged(index(0, 0), index(static_cast<int>(rows_.size()) - 1, kColumnCount - 1));
    }
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kColumnCount;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) {
      return {};
    }
    const PartRow& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == kId) {
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
      return {};
    }
    switch (index.column()) {
      case kName:
        return displayText(row.name);
      case kId:
        return row.id;
      case kState:
        return displayText(row.placed ? app_text::kPlaced : app_text::kWaiting);
      case kTurnedOver:
        return displayText(row.turnedOver ? app_text::kYes : app_text::kNo);
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount) {
      return QAbstractTableModel::headerData(section, orientation, role);
    }
    return displayText(app_text::kPartsListColumns[section]);
  }

 private:
  std::vector<PartRow> rows_;
};

PartsList::PartsList(QWidget* parent) : QTableView(parent), model_(new PartRowsModel(this)) {
  setObjectName(QStringLiteral("partsList"));
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  verticalHeader()->setVisible(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  constexpr int kRowMargin = 4;  // pixels above and below a row's text
  verticalHeader()->setMinimumSectionSize(fontMetrics().height());
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + kRowMargin);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { reportSelection(); });
}

void PartsList::showRows(std::vector<PartRow> rows) {
  const bool first = model_->rowCount() == 0 && !rows.empty();
  syncing_ = true;
  model_->setRows(std::move(rows));
  // Whole runs of selected rows in one range each: a few ranges even for thousands of parts.
  QItemSelection selection;
  const std::vector<PartRow>& shown = model_->rows();
  for (std::size_t i = 0; i < shown.size();) {
    if (!shown[i].selected) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end + 1 < shown.size() && shown[end + 1].selected) {
      ++end;
    }
    selection.select(model_->index(static_cast<int>(i), 0),
                     model_->index(static_cast<int>(end), PartRowsModel::kColumnCount - 1));
    i = end + 1;
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  syncing_ = false;
  if (first) {
    resizeColumnsToContents();
  }
}

int PartsList::rowCount() const {
  return model_->rowCount();
}

int PartsList::idAt(int row) const {
  return model_->rows().at(static_cast<std::size_t>(row)).id;
}

void PartsList::reportSelection() {
  if (syncing_) {
    return;
  }
  std::vector<int> ids;
  for (const QModelIndex& index : selectionModel()->selectedRows()) {
    ids.push_back(idAt(index.row()));
  }
  emit selectionEdited(ids);
}

}  // namespace tarn::gui
