#include "app/gui/optimise_window.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <algorithm>
#include <thread>

#include "app/app_texts.h"
#include "ui_optimise.h"

namespace tarn::gui {
namespace {

QString fromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <class... Values>
QString formatted(std::string_view format, Values... values) {
  return QString::asprintf(std::string(format).c_str(), values...);
}

constexpr double kLengthMargin = 0.02;  // of the lengths' range, above and below the line

}  // namespace

OptimiseWindow::OptimiseWindow(QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::OptimiseWindow>()) {
  ui_->setupUi(this);
  setWindowTitle(fromText(app_text::kOptimiseTitle));
  setModal(false);
  ui_->threads->setValue(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));

  chart_ = new QChart();
  chart_->legend()->hide();
  series_ = new QLineSeries(chart_);
  chart_->addSeries(series_);
  timeAxis_ = new QValueAxis(chart_);
  timeAxis_->setTitleText(fromText(app_text::kOptimiseChartTime));
  timeAxis_->setLabelFormat(QStringLiteral("%.1f"));
  lengthAxis_ = new QValueAxis(chart_);
  lengthAxis_->setTitleText(fromText(app_text::kOptimiseChartLength));
  lengthAxis_->setLabelFormat(QStringLiteral("%.1f"));
  chart_->addAxis(timeAxis_, Qt::AlignBottom);
  chart_->addAxis(lengthAxis_, Qt::AlignLeft);
  series_->attachAxis(timeAxis_);
  series_->attachAxis(lengthAxis_);
  auto* view = new QChartView(chart_, ui_->chartArea);  // owns the chart
  view->setObjectName(QStringLiteral("chart"));
  view->setRenderHint(QPainter::Antialiasing);
  ui_->chartLayout->addWidget(view);

  connect(ui_->startStop, &QPushButton::clicked, this, [this] {
    if (running_) {
      emit stopRequested();
    } else {
      emit startRequested(settings());
    }
  });
  clearFigures();
  syncButton();
}

OptimiseWindow::~OptimiseWindow() = default;

SearchSettings OptimiseWindow::settings() const {
  SearchSettings settings;
  settings.seed = static_cast<std::uint64_t>(ui_->seed->value());
  settings.threads = ui_->threads->value();
  settings.budget.seconds = ui_->budgetSeconds->value();
  if (ui_->evaluations->value() > 0) {
    settings.budget.evaluations = static_cast<std::uint64_t>(ui_->evaluations->value());
  }
  return settings;
}

void OptimiseWindow::setRunning(bool running) {
  if (running && !running_) {
    clearFigures();
  }
  running_ = running;
  for (QWidget* field :
       {static_cast<QWidget*>(ui_->budgetSeconds), static_cast<QWidget*>(ui_->evaluations),
        static_cast<QWidget*>(ui_->threads), static_cast<QWidget*>(ui_->seed)}) {
    field->setEnabled(!running);
  }
  syncButton();
}

void OptimiseWindow::setStartEnabled(bool enabled) {
  startEnabled_ = enabled;
  syncButton();
}

void OptimiseWindow::syncButton() {
  ui_->startStop->setText(fromText(running_ ? app_text::kOptimiseStop : app_text::kOptimiseStart));
  ui_->startStop->setEnabled(running_ || startEnabled_);
}

void OptimiseWindow::showFigures(const LayoutFigures& best, std::uint64_t evaluations,
                                 double elapsedSeconds) {
  ui_->bestUtilisation->setText(
      formatted(app_text::kOptimiseUtilisation, best.utilisation * 100.0));
  ui_->packedLength->setText(formatted(app_text::kOptimiseLength, best.packedLength));
  ui_->evaluationsDone->setText(
      formatted(app_text::kOptimiseEvaluations, static_cast<unsigned long long>(evaluations)));
  ui_->elapsed->setText(formatted(app_text::kOptimiseElapsed, elapsedSeconds));
  // A length that stays moves the line's last point on to the present time.
  const int count = series_->count();
  const double length = best.packedLength;
  if (count >= 2 && series_->at(count - 1).y() == length && series_->at(count - 2).y() == length) {
    series_->replace(count - 1, elapsedSeconds, length);
  } else {
    series_->append(elapsedSeconds, length);
  }
  timeAxis_->setRange(0.0, std::max(1.0, elapsedSeconds));
  double low = best.packedLength;
  double high = best.packedLength;
  for (const QPointF& point : series_->points()) {
    low = std::min(low, point.y());
    high = std::max(high, point.y());
  }
  const double margin = std::max(1.0, (high - low) * kLengthMargin);
  lengthAxis_->setRange(low - margin, high + margin);
}

void OptimiseWindow::clearFigures() {
  for (QLabel* label :
       {ui_->bestUtilisation, ui_->packedLength, ui_->evaluationsDone, ui_->elapsed}) {
    label->setText(fromText(app_text::kOptimiseNone));
  }
  series_->clear();
  timeAxis_->setRange(0.0, 1.0);
  lengthAxis_->setRange(0.0, 1.0);
}

void OptimiseWindow::reject() {
  if (running_) {
    emit stopRequested();
  }
  QDialog::reject();
}

}  // namespace tarn::gui
