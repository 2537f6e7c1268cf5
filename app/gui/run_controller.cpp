#include "app/gui/run_controller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMetaObject>
#include <QProgressDialog>
#include <QPushButton>
#include <QWidget>

#include "app/app_texts.h"
#include "app/gui/display_text.h"

namespace tarn::gui {
namespace {

constexpr std::chrono::milliseconds kIdlePoll{10};

}  // namespace

RunController::RunController(QWidget* owner) : QObject(owner), owner_(owner) {
  tickTimer_.setInterval(kTickInterval);
  connect(&tickTimer_, &QTimer::timeout, this, &RunController::tick);
  dialogTimer_.setSingleShot(true);
  connect(&dialogTimer_, &QTimer::timeout, this, &RunController::showDialog);
}

RunController::~RunController() {
  if (monitor_) {
    monitor_->requestStop();
    monitor_.reset();  // waits for the worker
    QGuiApplication::restoreOverrideCursor();
  }
  delete dialog_.data();
}

void RunController::begin(std::unique_ptr<RunMonitor> run, Finisher finisher,
                          const QString& title) {
  monitor_ = std::move(run);
  finisher_ = std::move(finisher);
  title_ = title;
  QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  tickTimer_.start();
  if (showsDialog_) {
    dialogTimer_.start(progressDelay_);
  }
  emit busyChanged(true);
}

void RunController::wake(int serial) {
  QMetaObject::invokeMethod(
      this, [this, serial] { finish(serial); }, Qt::QueuedConnection);
}

void RunController::finish(int serial) {
  if (serial != serial_ || !monitor_ || !monitor_->finished()) {
    return;
  }
  std::unique_ptr<RunMonitor> run = std::move(monitor_);
  Finisher finisher = std::move(finisher_);
  tickTimer_.stop();
  dialogTimer_.stop();
  if (dialog_) {
    dialog_->hide();
    dialog_->deleteLater();
    dialog_.clear();
  }
  QGuiApplication::restoreOverrideCursor();
  std::vector<Notice> notices = run->takeNotices();
  emit busyChanged(false);
  finisher(*run, std::move(notices));
}

void RunController::cancel() {
  if (!monitor_) {
    return;
  }
  monitor_->requestStop();
  if (dialog_) {
    dialog_->setLabelText(displayText(app_text::kRunStopping));
    if (auto* button = dialog_->findChild<QPushButton*>()) {
      button->setEnabled(false);
    }
  }
}

bool RunController::cancelRequested() const {
  return monitor_ && monitor_->stopRequested();
}

LayoutProgress RunController::progress() const {
  return monitor_ ? monitor_->progress() : LayoutProgress{};
}

bool RunController::waitUntilIdle(std::chrono::milliseconds timeout) {
  QElapsedTimer clock;
  clock.start();
  while (busy()) {
    if (clock.elapsed() > timeout.count()) {
      return false;
    }
    monitor_->waitFor(kIdlePoll);
    QCoreApplication::processEvents(QEventLoop::AllEvents, static_cast<int>(kIdlePoll.count()));
  }
  return true;
}

void RunController::tick() {
  if (!monitor_) {
    return;
  }
  const LayoutProgress now = monitor_->progress();
  emit progressed(now);
  if (!dialog_ || monitor_->stopRequested()) {
    return;
  }
  const QByteArray title = title_.toUtf8();
  const int total = now.tried + now.waiting;
  if (total > 0) {
    dialog_->setMaximum(total);
    dialog_->setValue(now.tried);
    dialog_->setLabelText(QString::asprintf(app_text::kRunProgress.data(), title.constData(),
                                            now.tried, now.waiting, now.elapsedSeconds));
  } else {
    dialog_->setLabelText(
        QString::asprintf(app_text::kRunElapsed.data(), title.constData(), now.elapsedSeconds));
  }
}

// A dialog of our own making: shown only now, never by QProgressDialog's own
// timing, and kept open after Cancel until the work has stopped.
void RunController::showDialog() {
  if (!monitor_ || dialog_) {
    return;
  }
  auto* dialog = new QProgressDialog(owner_);
  dialog->setObjectName(QStringLiteral("runProgress"));
  dialog->setWindowTitle(title_);
  dialog->setWindowModality(Qt::NonModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  dialog->setRange(0, 0);
  disconnect(dialog, &QProgressDialog::canceled, dialog, &QProgressDialog::cancel);
  connect(dialog, &QProgressDialog::canceled, this, &RunController::cancel);
  dialog_ = dialog;
  tick();
  dialog->show();
}

void RunController::raiseAll(const std::vector<Notice>& notices) {
  for (const Notice& notice : notices) {
    raiseNotice(notice);
  }
}

}  // namespace tarn::gui
