// The desktop window driven headless: the wiring of menus, canvas, docks, status bar
// and tool dialogs to the commands and worker runs. What the commands do is tested
// in tests/app; the core is the real one, the desktop services are recorded.
#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>
#include <chrono>
#include <clocale>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/gui/canvas_widget.h"
#include "app/gui/display_text.h"
#include "app/gui/drawings_dialog.h"
#include "app/gui/optimise_window.h"
#include "app/gui/parts_list.h"
#include "app/gui/run_controller.h"
#include "app/gui/tool_dialogs.h"
#include "app/plate_tabs.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"
#include "job/job_operations.h"
#include "support/mixed_library.h"
#include "support/pose_dump.h"

using namespace tarn;
using tarn::gui::MainWindow;

namespace {

constexpr std::chrono::seconds kPatience{120};

QString examplePath(const char* name) {
  return QDir(QStringLiteral(TARN_SOURCE_DIR "/examples")).filePath(QString::fromUtf8(name));
}

int countPixels(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
    }
  }
  return n;
}

const QRgb kSelectedRed = qRgb(255, 0, 0);

QRect globalRect(const QWidget* widget) {
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensEachExampleThroughTheMenuAndLaysItOut();
  void docksAndTabsNeverCoverTheCanvas();
  void canvasEventsReachTheirCommands();
  void renewDialogRefusesAndAppliesNumbers();
  void packingKitButtonsRunTheirCommandsAndSwitchModes();
  void statusBarShowsTheFiguresTheCommandLinePrints();
  void partsListAndCanvasShareTheSelection();
  void opensFromTheCommandLineADropAndDrawings();
  void cancelStopsALargeLayoutAndLeavesTheRestWaiting();
  void optimiseEndsAsOneUndoStepWithEveryPartFitting();
  void platesAppearAsTabsEachEditedAndReportedOnItsOwn();

 private:
  void open(int menuId, const char* example) {
    window_->openLibrary(menuId, examplePath(example));
    waitIdle();
    QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
    QVERIFY(state().job != nullptr);
  }
  void waitIdle() { QVERIFY(window_->runs().waitUntilIdle(kPatience)); }
  // The optimiser's window with the search settings given, its Start pressed.
  gui::OptimiseWindow* startOptimiser(int seconds, int evaluations) {
    window_->action(kOptimise)->trigger();
    gui::OptimiseWindow* optimiser = window_->optimiser();
    optimiser->findChild<QSpinBox*>(QStringLiteral("budgetSeconds"))->setValue(seconds);
    optimiser->findChild<QSpinBox*>(QStringLiteral("evaluations"))->setValue(evaluations);
    QTest::mouseClick(optimiser->findChild<QPushButton*>(QStringLiteral("startStop")),
                      Qt::LeftButton);
    return optimiser;
  }
  QPushButton* kitButton(int id) {
    return window_->packingKit() == nullptr ? nullptr
                                            : window_->packingKit()->findChild<QPushButton*>(
                                                  QStringLiteral("button_%1").arg(id));
  }
  void clickKit(int id) {
    QPushButton* button = kitButton(id);
    QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
    QTest::mouseClick(button, Qt::LeftButton);
    waitIdle();
  }
  void key(char c, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(canvas(), c, modifiers);
  }
  void click(QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(canvas(), Qt::LeftButton, modifiers, at);
  }
  void wheel(QPoint at, int delta) {
    QWheelEvent event(QPointF(at), QPointF(canvas()->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas(), &event);
  }
  QImage grab() {
    return window_->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  QPoint toScreen(const Point& p) {
    const ScreenPoint pixel = state().viewport.view.worldToScreen(p);
    return {pixel.x, pixel.y};
  }
  QString status(const char* field) { return window_->statusField(QLatin1String(field))->text(); }
  AppState& state() { return window_->state(); }
  QWidget* canvas() { return window_->canvas(); }
  PackingJob& job() { return *state().job; }
  int packedCount() {
    return static_cast<int>(
        std::count_if(job().workingParts.begin(), job().workingParts.end(),
                      [this](const Part& p) { return withinRect(p, job().plateExtents); }));
  }

  std::unique_ptr<QTemporaryDir> scratch_;
  QString previousDir_;
  std::unique_ptr<MainWindow> window_;
  // What the window asked of the desktop and the core announced.
  struct {
    QStringList errors;
    QStringList messages;
    QStringList reports;
    bool reportOpens = true;
    FileRequest lastRequest = FileRequest::None;
    QString nextFile;  // the file dialog's answer; empty: cancelled
    QStringList nextDrawings;
    int announcements = 0;
  } shell_;
};

void MainWindowTest::init() {
  scratch_ = std::make_unique<QTemporaryDir>();
  QVERIFY(scratch_->isValid());
  previousDir_ = QDir::currentPath();
  QDir::setCurrent(scratch_->path());
  qputenv("XDG_STATE_HOME", scratch_->path().toUtf8());
  QSettings(QStringLiteral("TarnPacking"), QStringLiteral("TarnPacking")).clear();
  shell_ = {};
  window_ = std::make_unique<MainWindow>();
  gui::ShellHooks hooks;
  hooks.showError = [this](const QString& message) { shell_.errors.append(message); };
  hooks.showMessage = [this](const QString& message) { shell_.messages.append(message); };
  hooks.chooseFile = [this](FileRequest request, const QString&) {
    shell_.lastRequest = request;
    return shell_.nextFile;
  };
  hooks.chooseDrawings = [this](const QString&) { return shell_.nextDrawings; };
  hooks.showReport = [this](const QString& path) {
    shell_.reports.append(path);
    return shell_.reportOpens;
  };
  window_->setHooks(hooks);
  setNoticeHook([this](const Notice& notice) {
    shell_.announcements += notice.kind == Notice::Kind::Announcement ? 1 : 0;
  });
  window_->resize(1100, 760);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  setNoticeHook({});
  window_.reset();
  QDir::setCurrent(previousDir_);
  scratch_.reset();
}

void MainWindowTest::opensEachExampleThroughTheMenuAndLaysItOut() {
  QVERIFY(!window_->action(kUndo)->isEnabled() && !window_->recentMenu()->isEnabled());
  QVERIFY(!window_->action(kOptimise)->isEnabled());  // no job to search yet
  const struct {
    int menuId;
    const char* file;
    FileRequest request;
  } libraries[] = {{40001, "brackets.txt", FileRequest::OpenTextLibrary},
                   {40020, "flanges.preSrc", FileRequest::OpenPreSrc},
                   {40002, "panels.lst", FileRequest::OpenPartList}};
  for (const auto& library : libraries) {
    window_->action(40003)->trigger();
    auto* previousKit = window_->packingKit();
    shell_.nextFile = examplePath(library.file);
    window_->action(library.menuId)->trigger();
    waitIdle();
    QCOMPARE(shell_.lastRequest, library.request);
    QVERIFY(window_->renewDialog() == nullptr);  // Open closes both tool dialogs...
    QVERIFY(window_->packingKit() != nullptr && window_->packingKit() != previousKit);
    QVERIFY(window_->packingKit()->isVisible());  // ...and opens the kit anew
    QTRY_VERIFY(canvas()->hasFocus());            // the keys reach the canvas at once
    QCOMPARE(window_->windowTitle(),
             QString::fromUtf8(library.file) + QStringLiteral(" - TarnPacking"));
    clickKit(kKitLayoutAll);
    QCOMPARE(packedCount(), job().workingParts.count());
    QVERIFY(QFile::exists(QStringLiteral("Report.txt")) && shell_.reports.isEmpty());
  }
  QCOMPARE(shell_.announcements, 3);
  QCOMPARE(window_->recentMenu()->actions().size(), 3);

  // A failed or cancelled Open keeps the job it had.
  PackingJob* before = state().job.get();
  window_->openLibrary(40001, examplePath("no-such-library.txt"));
  waitIdle();
  shell_.nextFile.clear();
  window_->action(40020)->trigger();  // the user cancels the file dialog
  QCOMPARE(state().job.get(), before);
  QCOMPARE(shell_.errors.size(), 1);
}

// The kit sits beside the canvas at any size.
void MainWindowTest::docksAndTabsNeverCoverTheCanvas() {
  open(40001, "brackets.txt");
  QDockWidget* dock = window_->packingKitDock();
  for (const QSize& size : {QSize(520, 380), QSize(1600, 500), QSize(1100, 760)}) {
    window_->resize(size);
    QApplication::processEvents();
    QVERIFY(dock->isVisible());
    QVERIFY2(!globalRect(dock).intersects(globalRect(canvas())),
             qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
  }
  QCOMPARE(canvas()->size(), window_->centralWidget()->size());  // no tab bar without a set
}

// Keys, clicks, drags and the wheel reach the canvas's commands, and the paint follows.
void MainWindowTest::canvasEventsReachTheirCommands() {
  open(40001, "brackets.txt");
  Part& part = job().workingParts.front();  // parked outside the plate
  key('A', Qt::ShiftModifier);
  QVERIFY(part.selected && countPixels(grab(), kSelectedRed) > 0);
  QTest::keyClick(canvas(), Qt::Key_Escape);
  QVERIFY(!part.selected && countPixels(grab(), kSelectedRed) == 0);
  key('s');
  Point onMaterial = part.centroid;
  for (int i = 1; !pointInPart(part, onMaterial) && i < 40; ++i) {
    onMaterial.x = part.bbox.xmin + (part.bbox.xmax - part.bbox.xmin) * i / 40.0;
  }
  click(toScreen(onMaterial));
  QVERIFY(part.selected);

  const QPoint start(300, 300);  // the drag need not start on the part
  const double x0 = part.bbox.xmin;
  key('m');
  click(start);
  QTest::mouseMove(canvas(), start + QPoint(-20, 0));
  QVERIFY(part.bbox.xmin < x0);  // the drag follows the mouse
  click(start + QPoint(-40, 0));
  key('r');
  click(toScreen(part.centroid));
  key('a');
  QVERIFY(part.rotation != 0.0);
  wheel(toScreen(part.centroid), -120);
  QVERIFY(std::abs(part.rotation) < 1e-12);

  const View before = state().viewport.view;
  key('p');
  click(QPoint(100, 100));
  QTest::mouseMove(canvas(), QPoint(130, 120));
  QCOMPARE(state().viewport.view.originX, before.originX + 30);
  click(QPoint(150, 110));
  wheel(QPoint(300, 200), 120);
  QVERIFY(state().viewport.view.scale > before.scale);
  window_->action(40006)->trigger();  // white background
  QCOMPARE(grab().pixel(QPoint(2, 2)) & 0xffffff, 0xffffffu);

  // After a layout the arrow keys push the selection until it touches.
  clickKit(kKitLayoutAll);
  key('A', Qt::ShiftModifier);
  const std::string laidOut = test::dumpPoses(job());
  QTest::keyClick(canvas(), Qt::Key_Right);
  QVERIFY(test::dumpPoses(job()) != laidOut);
  QVERIFY(shell_.errors.isEmpty());
}

void MainWindowTest::renewDialogRefusesAndAppliesNumbers() {
  open(40001, "brackets.txt");
  window_->action(40003)->trigger();
  auto* dialog = window_->renewDialog();
  auto* rn = dialog->findChild<QLineEdit*>(QStringLiteral("field_1001"));
  auto* ppd = dialog->findChild<QLineEdit*>(QStringLiteral("field_1002"));
  const auto press = [&dialog](int id) {
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button_%1").arg(id)),
                      Qt::LeftButton);
  };
  QCOMPARE(rn->text(), QStringLiteral("4"));
  rn->setText(QStringLiteral("12abc"));
  press(kRenewRotationNumber);
  QCOMPARE(status("rn"), QStringLiteral("RN 12"));
  // Refused with a message: the dialog stays and nothing changes.
  const double distance = job().params.packingPointDistance;
  rn->setText(QStringLiteral("0"));
  ppd->setText(QStringLiteral("60"));
  press(kRenewOk);
  QCOMPARE(shell_.errors.size(), 1);
  QVERIFY(shell_.errors.back().contains(QStringLiteral("at least 1")));
  QVERIFY(window_->renewDialog() == dialog);
  QCOMPARE(job().params.packingPointDistance, distance);
  rn->setText(QStringLiteral(" 6"));
  press(kRenewOk);
  QVERIFY(window_->renewDialog() == nullptr);
  QCOMPARE(job().params.rotationNumber, 6);
  QCOMPARE(job().params.packingPointDistance, 60.0);
}

void MainWindowTest::packingKitButtonsRunTheirCommandsAndSwitchModes() {
  open(40020, "flanges.preSrc");
  QWidget* kit = window_->packingKit();
  for (QPushButton* button : kit->findChildren<QPushButton*>()) {
    QVERIFY2(button->focusPolicy() == Qt::NoFocus, qPrintable(button->objectName()));
  }
  clickKit(kKitLayoutNext);
  QCOMPARE(packedCount(), 1);
  clickKit(kKitPackingReport);
  const QString report = QDir::current().absoluteFilePath(QStringLiteral("Report.txt"));
  QCOMPARE(shell_.reports, QStringList{report});
  shell_.reportOpens = false;  // no program for text files on this desktop
  key('e');
  QVERIFY(shell_.messages.back().contains(report));

  shell_.nextFile = QDir::current().absoluteFilePath(QStringLiteral("layout.dxf"));
  clickKit(kKitLayoutInDxf);
  QVERIFY(QFile::exists(shell_.nextFile));
  // The keyboard stays with the canvas; Return does not close the kit.
  clickKit(kKitContactLeft);
  QTest::keyClick(kit, Qt::Key_Return);
  QVERIFY(window_->packingKit() == kit);
  clickKit(kKitOk);
  QVERIFY(window_->packingKit() == nullptr && !window_->packingKitDock()->isVisible());
  window_->action(40016)->trigger();
  QVERIFY(window_->packingKitDock()->isVisible());
  clickKit(kKitCancel);
  QVERIFY(window_->packingKit() == nullptr && shell_.errors.isEmpty());
}

// tarnpack on the same library prints the figures the status bar shows.
void MainWindowTest::statusBarShowsTheFiguresTheCommandLinePrints() {
#ifndef TARN_TARNPACK
  QSKIP("built without the command-line tool");
#else
  open(40001, "brackets.txt");
  clickKit(kKitLayoutAll);
  QProcess tarnpack;
  tarnpack.start(QStringLiteral(TARN_TARNPACK),
                 {QStringLiteral("--quiet"), QStringLiteral("--out"), QStringLiteral("cli"),
                  examplePath("brackets.txt")});
  QVERIFY(tarnpack.waitForFinished(60000));
  const QString line = QString::fromUtf8(tarnpack.readAllStandardOutput()).trimmed();
  const QRegularExpression summary(QStringLiteral(
      R"(^(\d+) parts loaded, (\d+) packed, (packed length \S+ mm), (utilisation \S+ %))"));
  const QRegularExpressionMatch figures = summary.match(line);
  QVERIFY2(figures.hasMatch(), qPrintable(line));
  const int loaded = figures.captured(1).toInt();
  const int packed = figures.captured(2).toInt();
  QCOMPARE(status("parts"), QStringLiteral("%1 parts loaded, %2 packed, %3 waiting")
                                .arg(loaded)
                                .arg(packed)
                                .arg(loaded - packed));
  QCOMPARE(status("length"), figures.captured(3));
  QCOMPARE(status("utilisation"), figures.captured(4));

  key('s');
  QCOMPARE(status("mode"), QStringLiteral("Mode: Select"));
#endif
}

void MainWindowTest::partsListAndCanvasShareTheSelection() {
  open(40001, "brackets.txt");
  gui::PartsList* list = window_->partsList();
  QCOMPARE(list->rowCount(), 46);
  list->selectionModel()->select(list->model()->index(3, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const int id = list->idAt(3);
  for (const Part& part : job().workingParts) {
    QCOMPARE(part.selected, part.id == id);
  }
  key('A', Qt::ShiftModifier);
  QCOMPARE(list->selectionModel()->selectedRows().size(), 46);
  // Undo and Redo of a layout through their keys, the list with them.
  clickKit(kKitLayoutAll);
  const std::string laidOut = test::dumpJob(job());
  QCOMPARE(window_->action(kUndo)->text(), QStringLiteral("&Undo Layout All"));
  QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(packedCount(), 0);
  QCOMPARE(list->model()->index(3, 2).data().toString(), QStringLiteral("waiting"));
  QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(test::firstDifference(laidOut, test::dumpJob(job())), std::string());
  QCOMPARE(list->model()->index(3, 2).data().toString(), QStringLiteral("placed"));
  // Names are bytes: UTF-8 when valid, else GBK.
  QCOMPARE(gui::displayText("\xe9\x9b\xb6\xe4\xbb\xb6 A-1"), QString::fromUtf8("零件 A-1"));
  QCOMPARE(gui::displayText("\xc1\xe3\xbc\xfe"), QStringDecoder("GBK").isValid()
                                                     ? QString::fromUtf8("零件")
                                                     : QString::fromLatin1("\xc1\xe3\xbc\xfe"));
}

void MainWindowTest::opensFromTheCommandLineADropAndDrawings() {
  // The command line's path is relative to the folder the program starts in.
  window_->openDetected(QDir::current().relativeFilePath(examplePath("brackets.txt")));
  waitIdle();
  QCOMPARE(window_->windowTitle(), QStringLiteral("brackets.txt - TarnPacking"));

  // A part list file dropped on the window, told apart by its contents.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(examplePath("panels.lst"))});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &drop);
  waitIdle();
  QCOMPARE(window_->windowTitle(), QStringLiteral("panels.lst - TarnPacking"));

  // Two drawings, two and three copies, on the plate of the job that was open.
  window_->action(kOpenDrawings)->trigger();  // cancelled: no dialog, the job stays
  QVERIFY(window_->drawingsDialog() == nullptr);
  const QString drawings(QStringLiteral(TARN_SOURCE_DIR "/tests/data/library/drawings/"));
  shell_.nextDrawings = {drawings + QStringLiteral("r12_classic.dxf"),
                         drawings + QStringLiteral("r2000_lwpolyline.dxf")};
  window_->action(kOpenDrawings)->trigger();
  gui::DrawingsDialog* dialog = window_->drawingsDialog();
  QVERIFY(dialog != nullptr && dialog->isVisible());
  QCOMPARE(dialog->findChild<QDoubleSpinBox*>(QStringLiteral("plateLength"))->value(),
           job().params.plateLength);
  dialog->findChild<QDoubleSpinBox*>(QStringLiteral("partGap"))->setValue(5.0);
  dialog->countBox(0)->setValue(2);
  dialog->countBox(1)->setValue(3);
  QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                    Qt::LeftButton);
  waitIdle();
  QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
  QCOMPARE(job().workingParts.count(), 5);
  QCOMPARE(job().params.partGap, 5.0);
  QCOMPARE(window_->windowTitle(), QStringLiteral("r12_classic.dxf and 1 more - TarnPacking"));
  QVERIFY(window_->packingKit() != nullptr);
  QTRY_VERIFY(canvas()->hasFocus());
}

// Layout All of a large generated job: Cancel in the progress dialog stops it
// after the part being placed. Meanwhile the commands that change the job are
// refused.
void MainWindowTest::cancelStopsALargeLayoutAndLeavesTheRestWaiting() {
  QFile library(QStringLiteral("large.txt"));
  QVERIFY(library.open(QIODevice::WriteOnly));
  library.write(
      QByteArray::fromStdString(test::repeatedTextLibrary(test::mixedTextLibrary(3), 80)));
  library.close();
  window_->openDetected(library.fileName());
  waitIdle();
  const int total = job().workingParts.count();
  // Every angle of the rotation set keeps this run going for well over the
  // half second after which the progress dialog shows.
  job().params.rotationNumber = kMaxRotationNumber;

  QTest::mouseClick(kitButton(kKitLayoutAll), Qt::LeftButton);
  QVERIFY(!kitButton(kKitLayoutAll)->isEnabled() && !kitButton(kKitSelectAll)->isEnabled());
  QVERIFY(!window_->action(kOpenTextLibrary)->isEnabled() && kitButton(kKitPan)->isEnabled());
  QTRY_VERIFY_WITH_TIMEOUT(window_->runs().progressDialog() != nullptr, 30000);
  QProgressDialog* dialog = window_->runs().progressDialog();
  QVERIFY2(window_->runs().busy() && dialog->isVisible(), qPrintable(shell_.errors.join('\n')));
  QTRY_VERIFY(dialog->labelText().contains(QStringLiteral("waiting")));
  QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
  waitIdle();
  const int packed = packedCount();
  QVERIFY2(packed > 0 && packed < total, "the run ended before Cancel");
  QCOMPARE(shell_.announcements, 1);  // as for a completed run of that length
  QVERIFY(kitButton(kKitLayoutAll)->isEnabled());
  QCOMPARE(window_->action(kUndo)->text(), QStringLiteral("&Undo Layout All"));
}

// A job never laid out: the search lays it out on a worker, its best layout
// one undo step; meanwhile the job is locked as for any run. Closing the
// window stops a search and keeps the best found so far, whole.
void MainWindowTest::optimiseEndsAsOneUndoStepWithEveryPartFitting() {
  open(kOpenTextLibrary, "brackets.txt");
  const std::string loaded = test::dumpJob(job());
  gui::OptimiseWindow* optimiser = startOptimiser(60, 20);
  auto* startStop = optimiser->findChild<QPushButton*>(QStringLiteral("startStop"));
  QVERIFY(window_->runs().busy() && window_->runs().progressDialog() == nullptr);
  QVERIFY(startStop->isEnabled() && !kitButton(kKitLayoutAll)->isEnabled());
  QVERIFY(!window_->action(kOpenDrawings)->isEnabled() && !window_->action(kUndo)->isEnabled());
  waitIdle();
  QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
  QVERIFY(state().preview == nullptr && optimiser->lengthSeries()->count() > 0);
  QCOMPARE(packedCount(), job().workingParts.count());
  QCOMPARE(window_->action(kUndo)->text(), QStringLiteral("&Undo Optimise"));
  window_->action(kUndo)->trigger();  // the optimiser's window has the keyboard
  QCOMPARE(test::firstDifference(loaded, test::dumpJob(job())), std::string());

  window_->action(kRedo)->trigger();
  startOptimiser(600, 0);
  auto* evaluations = optimiser->findChild<QLabel*>(QStringLiteral("evaluationsDone"));
  QTRY_VERIFY_WITH_TIMEOUT(evaluations->text() != QStringLiteral("-"), 30000);
  optimiser->close();
  QVERIFY(window_->runs().waitUntilIdle(std::chrono::seconds(10)));
  QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
  QVERIFY(!optimiser->running() && kitButton(kKitLayoutAll)->isEnabled());
  QCOMPARE(packedCount(), job().workingParts.count());
}

// three_plates.txt needs three plates: A and the small part on the first, B
// and C one a plate. Each tab is its plate's job; the commands act on it.
void MainWindowTest::platesAppearAsTabsEachEditedAndReportedOnItsOwn() {
  window_->openLibrary(kOpenTextLibrary,
                       QStringLiteral(TARN_SOURCE_DIR "/tests/data/plates/three_plates.txt"));
  waitIdle();
  QTabBar* tabs = window_->plateTabs();
  QVERIFY(!tabs->isVisible());
  window_->action(kLayOutOnPlates)->trigger();
  QVERIFY(!window_->action(kMoveToNextPlate)->isEnabled() && !tabs->isEnabled());
  waitIdle();
  QVERIFY(tabs->isVisible() && tabs->isEnabled());
  QCOMPARE(tabs->count(), 3);
  QCOMPARE(window_->partsList()->rowCount(), 2);
  QVERIFY(globalRect(tabs).bottom() < globalRect(canvas()).top());

  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  QCOMPARE(currentPlate(state()), std::size_t(1));
  QTRY_VERIFY(canvas()->hasFocus());
  QCOMPARE(window_->windowTitle(), QStringLiteral("three_plates.txt, plate 2 of 3 - TarnPacking"));
  QCOMPARE(status("parts"), QStringLiteral("1 parts loaded, 1 packed, 0 waiting"));
  // The RN/PPD dialog shows the numbers of the plate on show.
  job().params.rotationNumber = 8;
  window_->action(kShowRenewDialog)->trigger();
  const auto rotationField = [this] {
    return window_->renewDialog()->findChild<QLineEdit*>(QStringLiteral("field_1001"))->text();
  };
  QCOMPARE(rotationField(), QStringLiteral("8"));
  QTest::keyClick(canvas(), Qt::Key_PageUp, Qt::ControlModifier);
  QCOMPARE(rotationField(), QStringLiteral("4"));
  QTest::keyClick(canvas(), Qt::Key_PageDown, Qt::ControlModifier);
  QCOMPARE(tabs->currentIndex(), 1);

  // An edit on plate 2 changes plate 2 only, and stays after a switch.
  const std::string plateOne = test::dumpPoses(*state().plates.tabs[0].job);
  const std::string plateTwo = test::dumpPoses(job());
  key('A', Qt::ShiftModifier);
  key('t');  // turns the part over
  const std::string edited = test::dumpPoses(job());
  QVERIFY(edited != plateTwo);
  QTest::keyClick(canvas(), Qt::Key_PageUp, Qt::ControlModifier);
  QCOMPARE(test::dumpPoses(job()), plateOne);
  QTest::keyClick(canvas(), Qt::Key_PageDown, Qt::ControlModifier);
  QCOMPARE(test::dumpPoses(job()), edited);

  // E writes plate 2's report into its own folder.
  key('e');
  const QString report = QDir::current().absoluteFilePath(QStringLiteral("plate-2/Report.txt"));
  QCOMPARE(shell_.reports.back(), report);
  QVERIFY(QFile::exists(report));

  // Save Layouts: one drawing a plate in plate-k folders, and the set's report.
  shell_.nextFile = QDir::current().absoluteFilePath(QStringLiteral("layouts"));
  window_->action(kSaveLayouts)->trigger();
  QCOMPARE(shell_.lastRequest, FileRequest::SaveLayoutsFolder);
  QVERIFY(QFile::exists(QStringLiteral("layouts/plate-3/layout.dxf")));
  QVERIFY(shell_.messages.back().startsWith(QStringLiteral("3 layout drawings")));
  QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
}

int main(int argc, char* argv[]) {
  QStandardPaths::setTestModeEnabled(true);  // the settings of the recent files
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
