#include "app/gui/drawings_dialog.h"

#include <QFile>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableWidgetItem>

#include "app/app_texts.h"
#include "ui_open_drawings.h"

namespace tarn::gui {
namespace {

QString fromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

DrawingsDialog::DrawingsDialog(QWidget* owner, const DrawingJobRequest& request)
    : QDialog(owner), ui_(std::make_unique<Ui::DrawingsDialog>()) {
  ui_->setupUi(this);
  setWindowTitle(fromText(app_text::kOpenDrawingsTitle));
  ui_->plateLength->setValue(request.plateLength);
  ui_->plateWidth->setValue(request.plateWidth);
  ui_->partGap->setValue(request.partGap);
  QTableWidget& table = *ui_->drawings;
  table.setHorizontalHeaderLabels(
      {fromText(app_text::kDrawingColumns[0]), fromText(app_text::kDrawingColumns[1])});
  table.horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  table.horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  table.setRowCount(static_cast<int>(request.drawings.size()));
  int row = 0;
  for (const DrawingOrder& order : request.drawings) {
    paths_.push_back(order.path);
    const QString path = QFile::decodeName(QByteArray::fromStdString(order.path.string()));
    auto* name = new QTableWidgetItem(
        QFile::decodeName(QByteArray::fromStdString(order.path.filename().string())));
    name->setFlags(Qt::ItemIsEnabled);
    name->setToolTip(path);
    table.setItem(row, 0, name);
    auto* count = new QSpinBox(&table);
    count->setObjectName(QStringLiteral("count_%1").arg(row));
    count->setRange(1, kMaxDrawingJobParts);
    count->setValue(order.count);
    table.setCellWidget(row, 1, count);
    ++row;
  }
}

DrawingsDialog::~DrawingsDialog() = default;

QSpinBox* DrawingsDialog::countBox(int row) const {
  return qobject_cast<QSpinBox*>(ui_->drawings->cellWidget(row, 1));
}

DrawingJobRequest DrawingsDialog::request() const {
  DrawingJobRequest request{
      ui_->plateLength->value(), ui_->plateWidth->value(), ui_->partGap->value(), {}};
  for (std::size_t i = 0; i < paths_.size(); ++i) {
    const QSpinBox* count = countBox(static_cast<int>(i));
    request.drawings.push_back({paths_[i], count != nullptr ? count->value() : 1});
  }
  return request;
}

}  // namespace tarn::gui
