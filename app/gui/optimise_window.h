#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

#include "optimise/layout_search.h"

class QChart;
class QLineSeries;
class QValueAxis;

namespace Ui {
class OptimiseWindow;
}  // namespace Ui

namespace tarn::gui {

// "Optimise Layout", the modeless window of "Layout > Optimise…": the budget,
// threads and seed, one Start/Stop button, the best figures so far and a
// chart of the best packed length over time. It holds no search: Start and
// Stop are reported, and the main window runs the search and shows its
// figures here. Closing the window while a search runs stops it (the best
// layout found is kept).
class OptimiseWindow : public QDialog {
  Q_OBJECT

 public:
  explicit OptimiseWindow(QWidget* owner);
  ~OptimiseWindow() override;

  SearchSettings settings() const;
  bool running() const { return running_; }
  // Switches the button between Start and Stop; a new run clears the figures.
  void setRunning(bool running);
  // Whether Start may be pressed (a job, and no other run holding it).
  void setStartEnabled(bool enabled);
  // A shorter best length adds a point to the chart.
  void showFigures(const LayoutFigures& best, std::uint64_t evaluations, double elapsedSeconds);
  QLineSeries* lengthSeries() const { return series_; }

 signals:
  void startRequested(const tarn::SearchSettings& settings);
  void stopRequested();

 public slots:
  // Esc and the close box: a search going on is stopped first.
  void reject() override;

 private:
  void clearFigures();
  void syncButton();

  std::unique_ptr<Ui::OptimiseWindow> ui_;
  QChart* chart_ = nullptr;
  QLineSeries* series_ = nullptr;
  QValueAxis* timeAxis_ = nullptr;
  QValueAxis* lengthAxis_ = nullptr;
  bool running_ = false;
  bool startEnabled_ = false;
};

}  // namespace tarn::gui
