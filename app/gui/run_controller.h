#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/background_run.h"
#include "geometry/notify.h"
#include "job/run_context.h"

class QWidget;

namespace tarn::gui {

// Runs one long operation at a time on a worker thread and brings its result
// back to the GUI thread: "run this with progress and Cancel, then apply it".
//
//   controller.start<Result>(title, work, apply, failed);
//
// `work` runs on the worker with a RunContext (stop token, progress hook); it
// owns what it touches (a snapshot of the job, a job it loads) and returns its
// result by value. When it has ended, on the GUI thread and in this order:
// busyChanged(false); then `apply` with the result, or `failed` with what the
// work threw; then the notices the work raised, in order, through raiseNotice
// (after a failure they come before `failed`). A run that lasts longer than
// progressDelay() shows a progress dialog (parts tried and waiting, elapsed
// time, Cancel); Cancel asks the work to stop through its stop token.
//
// Several controllers may live side by side (one per plate tab, say), each
// with its own run. The optimiser's window can leave the dialog out and draw
// from progressed() instead.
class RunController : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kDefaultProgressDelay{500};
  static constexpr std::chrono::milliseconds kTickInterval{100};

  // The progress dialog belongs to `owner`.
  explicit RunController(QWidget* owner);
  // A run still going is asked to stop and waited for; its result is dropped.
  ~RunController() override;
  RunController(const RunController&) = delete;
  RunController& operator=(const RunController&) = delete;

  bool busy() const { return monitor_ != nullptr; }

  // False, and nothing started, while a run is going.
  template <class Result>
  bool start(const QString& title, std::function<Result(RunContext&)> work,
             std::function<void(Result&&)> apply, std::function<void(std::exception_ptr)> failed);

  // Asks the running work to stop; it ends after the part being placed.
  void cancel();
  bool cancelRequested() const;
  // The run's last progress, or an empty one while none runs.
  LayoutProgress progress() const;

  void setProgressDelay(std::chrono::milliseconds delay) { progressDelay_ = delay; }
  std::chrono::milliseconds progressDelay() const { return progressDelay_; }
  // Whether runs show the progress dialog at all (default: yes).
  void setShowsProgressDialog(bool shows) { showsDialog_ = shows; }
  // The dialog while it is shown, else nullptr.
  QProgressDialog* progressDialog() const { return dialog_.data(); }

  // Blocks until the run has ended and been applied, or `timeout` passed (tests).
  bool waitUntilIdle(std::chrono::milliseconds timeout);

 signals:
  void busyChanged(bool busy);
  // About ten times a second while a run goes on.
  void progressed(const tarn::LayoutProgress& progress);

 private:
  // What the typed start leaves for the end: take the result, apply it.
  using Finisher = std::function<void(RunMonitor&, std::vector<Notice>)>;

  void begin(std::unique_ptr<RunMonitor> run, Finisher finisher, const QString& title);
  // Called on the worker thread: wakes the GUI thread.
  void wake(int serial);
  void finish(int serial);
  void tick();
  void showDialog();
  static void raiseAll(const std::vector<Notice>& notices);

  QWidget* owner_;
  std::unique_ptr<RunMonitor> monitor_;
  Finisher finisher_;
  int serial_ = 0;
  QString title_;
  QTimer tickTimer_;
  QTimer dialogTimer_;
  QPointer<QProgressDialog> dialog_;
  std::chrono::milliseconds progressDelay_ = kDefaultProgressDelay;
  bool showsDialog_ = true;
};

template <class Result>
bool RunController::start(const QString& title, std::function<Result(RunContext&)> work,
                          std::function<void(Result&&)> apply,
                          std::function<void(std::exception_ptr)> failed) {
  if (busy()) {
    return false;
  }
  const int serial = ++serial_;
  auto run =
      std::make_unique<BackgroundRun<Result>>(std::move(work), [this, serial] { wake(serial); });
  Finisher finisher = [apply = std::move(apply), failed = std::move(failed)](
                          RunMonitor& monitor, std::vector<Notice> notices) {
    std::optional<Result> result;
    std::exception_ptr failure;
    try {
      result.emplace(static_cast<BackgroundRun<Result>&>(monitor).takeResult());
    } catch (...) {
      failure = std::current_exception();
    }
    if (failure) {
      raiseAll(notices);
      failed(failure);
      return;
    }
    apply(std::move(*result));
    raiseAll(notices);
  };
  begin(std::move(run), std::move(finisher), title);
  return true;
}

}  // namespace tarn::gui
