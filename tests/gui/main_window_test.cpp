// The desktop window driven headless with simulated keys, clicks, drags and
// the wheel; the core is the real one, the desktop services are recorded.
#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <clocale>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/gui/canvas_widget.h"
#include "app/gui/display_text.h"
#include "app/gui/tool_dialogs.h"
#include "geometry/notify.h"
#include "geometry/predicates.h"

using tarn::AppState;
using tarn::InteractionMode;
using tarn::Notice;
using tarn::Part;
using tarn::Point;
using tarn::ScreenPoint;
using tarn::gui::MainWindow;

namespace {

QString examplePath(const char* name) {
  return QDir(QStringLiteral(TARN_SOURCE_DIR "/examples")).filePath(QString::fromUtf8(name));
}

QPoint toQPoint(ScreenPoint p) {
  return {p.x, p.y};
}

// A point of the part's material, not in a hole: the first of a fine grid over its box.
Point pointOnMaterial(const Part& part) {
  for (int i = 1; i < 40; ++i) {
    for (int j = 1; j < 40; ++j) {
      const Point p{part.bbox.xmin + (part.bbox.xmax - part.bbox.xmin) * i / 40.0,
                    part.bbox.ymin + (part.bbox.ymax - part.bbox.ymin) * j / 40.0};
      if (tarn::pointInPart(part, p)) {
        return p;
      }
    }
  }
  return part.centroid;
}

bool laidOut(const tarn::PackingJob& job, const Part& part) {
  return tarn::withinRect(part, job.plateExtents);
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

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startsWithTheMenusAndABlackClientArea();
  void opensEveryBundledLibraryAndReopensThePackingKit();
  void aFailedOrCancelledOpenKeepsTheJob();
  void paintsThePlateAndThePartsByTheirState();
  void selectsByClickButNotInAHole();
  void selectsWithARubberBandBothWays();
  void movesWithAndWithoutTheCollidingTest();
  void rotatesWithTheKeysAndTheWheel();
  void arrowKeysPushTheSelection();
  void pansZoomsAndFits();
  void viewMenuTogglesBackgroundAndVisibility();
  void renewDialogAppliesAndRefusesNumbers();
  void packingKitButtonsRunTheirCommands();
  void modeSwitchesKeepTheClickCountWhereTheyShould();
  void stagedLayoutIsSilentOnce();
  void namesAreDecodedForDisplay();

 private:
  void open(int menuId, const char* example);
  void layoutAll();
  void clickKit(int id);
  QImage grab() {
    return window_->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  ScreenPoint toScreen(const Point& p) { return state().view->worldToScreen(p); }
  AppState& state() { return window_->state(); }
  QWidget* canvas() { return window_->canvas(); }
  void wheel(QPoint at, int delta);
  int announcements() const;

  std::unique_ptr<QTemporaryDir> scratch_;
  QString previousDir_;
  std::unique_ptr<MainWindow> window_;
  std::vector<QString> errors_;
  std::vector<Notice> notices_;
  std::vector<tarn::FileRequest> fileRequests_;
  QString nextFile_;
  std::vector<QString> reports_;
};

void MainWindowTest::init() {
  scratch_ = std::make_unique<QTemporaryDir>();
  QVERIFY(scratch_->isValid());
  previousDir_ = QDir::currentPath();
  QDir::setCurrent(scratch_->path());
  qputenv("XDG_STATE_HOME", scratch_->path().toUtf8());
  errors_.clear();
  notices_.clear();
  fileRequests_.clear();
  reports_.clear();
  nextFile_.clear();

  window_ = std::make_unique<MainWindow>();
  tarn::gui::ShellHooks hooks;
  hooks.showError = [this](const QString& message) { errors_.push_back(message); };
  hooks.chooseFile = [this](tarn::FileRequest request, const QString&) {
    fileRequests_.push_back(request);
    return nextFile_;
  };
  hooks.showReport = [this](const QString& path) { reports_.push_back(path); };
  window_->setHooks(hooks);
  tarn::setNoticeHook([this](const Notice& notice) { notices_.push_back(notice); });
  window_->resize(900, 700);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  tarn::setNoticeHook({});
  window_.reset();
  QDir::setCurrent(previousDir_);
  scratch_.reset();
}

void MainWindowTest::open(int menuId, const char* example) {
  window_->openLibrary(menuId, examplePath(example));
  QVERIFY2(errors_.empty(), qPrintable(errors_.empty() ? QString() : errors_.front()));
  QVERIFY(state().job != nullptr);
}

void MainWindowTest::layoutAll() {
  clickKit(tarn::kKitLayoutAll);
}

void MainWindowTest::clickKit(int id) {
  QWidget* kit = window_->packingKit();
  QVERIFY(kit != nullptr);
  auto* button = kit->findChild<QPushButton*>(QStringLiteral("button_%1").arg(id));
  QVERIFY2(button != nullptr, qPrintable(QStringLiteral("button_%1").arg(id)));
  QTest::mouseClick(button, Qt::LeftButton);
}

void MainWindowTest::wheel(QPoint at, int delta) {
  QWheelEvent event(QPointF(at), QPointF(canvas()->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(canvas(), &event);
}

int MainWindowTest::announcements() const {
  int n = 0;
  for (const Notice& notice : notices_) {
    n += notice.kind == Notice::Kind::Announcement ? 1 : 0;
  }
  return n;
}

void MainWindowTest::startsWithTheMenusAndABlackClientArea() {
  QCOMPARE(window_->objectName(), QStringLiteral("TarnPacking"));
  QVERIFY(!window_->windowIcon().isNull());
  const struct {
    int id;
    const char* text;
    bool checkable;
    bool checked;
  } items[] = {
      {40001, "OpenLibIn&Txt", false, false},      {40002, "OpenLibIn&Dxf", false, false},
      {40020, "OpenLibIn&Velmar", false, false},   {40004, "LayoutIn&Dxf", false, false},
      {40014, "ExportParts(*.dxf)", false, false}, {40016, "Packing Kit", false, false},
      {40003, "&Renew_RN_PPD", false, false},      {40005, "&Black Background", true, true},
      {40006, "&White Background", true, false},   {40012, "PPT_Visible", true, true},
      {40018, "OffsetedPartVisible", true, false},
  };
  for (const auto& item : items) {
    QAction* action = window_->action(item.id);
    QVERIFY(action != nullptr);
    QCOMPARE(action->text(), QString::fromUtf8(item.text));
    QCOMPARE(action->data().toInt(), item.id);
    QCOMPARE(action->objectName(), QStringLiteral("action_%1").arg(item.id));
    QCOMPARE(action->isChecked(), item.checked);
  }
  const QImage image = grab();
  QCOMPARE(countPixels(image, qRgb(0, 0, 0)), image.width() * image.height());
  // Keys and clicks before the first Open change nothing.
  QTest::keyClick(canvas(), 's');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(10, 10));
  QCOMPARE(state().mode, InteractionMode::Idle);
  QVERIFY(errors_.empty());
}

void MainWindowTest::opensEveryBundledLibraryAndReopensThePackingKit() {
  const struct {
    int menuId;
    const char* file;
  } libraries[] = {{40001, "brackets.txt"}, {40020, "flanges.preSrc"}, {40002, "panels.lst"}};
  for (const auto& library : libraries) {
    window_->action(40003)->trigger();
    QVERIFY(window_->renewDialog() != nullptr);
    auto* previousKit = window_->packingKit();
    open(library.menuId, library.file);
    QVERIFY2(state().job->workingParts.count() > 0, library.file);
    QVERIFY(window_->renewDialog() == nullptr);
    QVERIFY(window_->packingKit() != nullptr);
    QVERIFY(window_->packingKit() != previousKit);
    QVERIFY(window_->packingKit()->isVisible());
    QCOMPARE(state().lastPath, examplePath(library.file).toStdString());
    // Every part waits beside the plate: its left edge on the plate's right edge.
    for (const Part& part : state().job->workingParts) {
      QVERIFY(std::abs(part.bbox.xmin - state().job->params.plateLength) < 1e-6);
    }
    // The view shows the whole plate.
    const ScreenPoint origin = toScreen({0.0, 0.0});
    QVERIFY(origin.x > 0 && origin.y < canvas()->height());
    layoutAll();
    int packed = 0;
    for (const Part& part : state().job->workingParts) {
      packed += laidOut(*state().job, part) ? 1 : 0;
      QVERIFY(!part.selected);
    }
    QVERIFY2(packed > 0, library.file);
    QVERIFY(QFile::exists(QStringLiteral("Report.txt")));
    QVERIFY(reports_.empty());  // written, not shown
    QVERIFY(announcements() >= 1);
  }
  QVERIFY(errors_.empty());
}

void MainWindowTest::aFailedOrCancelledOpenKeepsTheJob() {
  open(40001, "brackets.txt");
  tarn::PackingJob* job = state().job.get();
  window_->action(40003)->trigger();

  window_->openLibrary(40001, examplePath("no-such-library.txt"));
  QCOMPARE(errors_.size(), std::size_t{1});
  QCOMPARE(state().job.get(), job);
  QVERIFY(window_->packingKit() == nullptr);  // Open closed both before it failed
  QVERIFY(window_->renewDialog() == nullptr);

  window_->action(40016)->trigger();
  nextFile_.clear();  // the user cancels the file dialog
  window_->action(40020)->trigger();
  QCOMPARE(fileRequests_.back(), tarn::FileRequest::OpenPreSrc);
  QCOMPARE(state().job.get(), job);
  QVERIFY(window_->packingKit() == nullptr);
  QCOMPARE(errors_.size(), std::size_t{1});
}

void MainWindowTest::paintsThePlateAndThePartsByTheirState() {
  open(40001, "brackets.txt");
  const tarn::PackingJob& job = *state().job;
  QImage image = grab();
  const ScreenPoint topMiddle = toScreen({job.params.plateLength / 2, job.params.plateWidth});
  QCOMPARE(image.pixel(toQPoint(topMiddle)) & 0xffffff, qRgb(0, 0, 255) & 0xffffff);
  QVERIFY(countPixels(image, qRgb(0, 255, 0)) > 0);
  QCOMPARE(countPixels(image, qRgb(255, 0, 0)), 0);

  layoutAll();
  QTest::keyClick(canvas(), 'A', Qt::ShiftModifier);
  image = grab();
  QCOMPARE(countPixels(image, qRgb(0, 255, 0)), 0);
  QVERIFY(countPixels(image, qRgb(255, 0, 0)) > 0);
  QTest::keyClick(canvas(), Qt::Key_Escape);
  image = grab();
  QVERIFY(countPixels(image, qRgb(0, 255, 0)) > 0);
  QCOMPARE(countPixels(image, qRgb(255, 0, 0)), 0);

  const QByteArray screenshot = qgetenv("TARN_SCREENSHOT");
  if (!screenshot.isEmpty()) {
    window_->grab().save(QString::fromLocal8Bit(screenshot));
  }
}

void MainWindowTest::selectsByClickButNotInAHole() {
  open(40001, "brackets.txt");
  layoutAll();
  // The largest part (first in the list) has holes.
  Part& part = state().job->workingParts.front();
  QVERIFY(part.holes.count() > 0);
  QTest::keyClick(canvas(), 's');
  const Point inHole = tarn::computeCentroid(*part.holes.begin());
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, toQPoint(toScreen(inHole)));
  QVERIFY(!part.selected);
  QCOMPARE(state().clickCount, 1);  // a rubber band began instead
  QTest::keyClick(canvas(), Qt::Key_Escape);

  QTest::mouseClick(canvas(), Qt::LeftButton, {}, toQPoint(toScreen(pointOnMaterial(part))));
  QVERIFY(part.selected);
  QCOMPARE(state().clickCount, 0);
  QVERIFY(countPixels(grab(), qRgb(255, 0, 0)) > 0);
}

void MainWindowTest::selectsWithARubberBandBothWays() {
  open(40001, "brackets.txt");
  layoutAll();
  const tarn::PackingJob& job = *state().job;
  const Part& part = job.workingParts.front();
  const ScreenPoint low = toScreen({part.bbox.xmin, part.bbox.ymin});
  const ScreenPoint high = toScreen({part.bbox.xmax, part.bbox.ymax});
  const ScreenPoint middle = toScreen({(part.bbox.xmin + part.bbox.xmax) / 2, part.bbox.ymax});
  // Empty space above the plate, left of the part.
  const QPoint above(low.x - 2, toScreen({0.0, job.params.plateWidth}).y - 10);

  QTest::keyClick(canvas(), 's');
  // Left to right, ending over the middle of the part: it is not wholly inside.
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, above);
  QTest::mouseMove(canvas(), QPoint(middle.x, low.y + 2));
  QCOMPARE(state().rubberEnd.x, middle.x);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(middle.x, low.y + 2));
  QVERIFY(!part.selected);

  // Right to left over the same rectangle: crossing it is enough.
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(middle.x, above.y()));
  QTest::mouseMove(canvas(), QPoint(above.x(), low.y + 2));
  QVERIFY(countPixels(grab(), qRgb(255, 0, 255)) > 0);  // the dashed band
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(above.x(), low.y + 2));
  QVERIFY(part.selected);

  // A window around the whole part selects it too.
  QTest::keyClick(canvas(), Qt::Key_Escape);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, above);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(high.x + 2, low.y + 2));
  QVERIFY(part.selected);
}

void MainWindowTest::movesWithAndWithoutTheCollidingTest() {
  open(40001, "brackets.txt");
  Part& part = state().job->workingParts.front();  // parked outside the plate
  part.selected = true;
  const double scale = state().view->scale;
  const double x0 = part.bbox.xmin;
  // The part waits off screen; the drag need not start on it.
  const QPoint start(300, 300);

  QTest::keyClick(canvas(), 'm');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, start);
  QTest::mouseMove(canvas(), start + QPoint(-20, 0));
  QVERIFY(std::abs(part.bbox.xmin - (x0 - 20 / scale)) < 1e-6);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, start + QPoint(-40, 0));
  QVERIFY(std::abs(part.bbox.xmin - (x0 - 40 / scale)) < 1e-6);
  QCOMPARE(state().clickCount, 0);

  // Outside the plate every checked step fails, so the part stays put.
  const double x1 = part.bbox.xmin;
  QTest::keyClick(canvas(), 'o');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, start);
  QTest::mouseMove(canvas(), start + QPoint(-30, 0));
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, start + QPoint(-30, 0));
  QCOMPARE(part.bbox.xmin, x1);
  // The same with Shift in Move mode.
  QTest::keyClick(canvas(), 'M');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, start);
  QTest::mouseClick(canvas(), Qt::LeftButton, Qt::ShiftModifier, start + QPoint(-30, 0));
  QCOMPARE(part.bbox.xmin, x1);
}

void MainWindowTest::rotatesWithTheKeysAndTheWheel() {
  open(40001, "brackets.txt");
  Part& part = state().job->workingParts.front();
  part.selected = true;
  const QPoint centre = toQPoint(toScreen(part.centroid));
  QTest::keyClick(canvas(), 'a');  // not in Rotate mode: nothing
  QCOMPARE(part.rotation, 0.0);
  QTest::keyClick(canvas(), 'r');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, centre);
  QCOMPARE(state().rotationCentreScreen.x, centre.x());
  QVERIFY(countPixels(grab(), qRgb(255, 0, 0)) > 0);  // marker and selection
  QTest::keyClick(canvas(), 'a');
  QVERIFY(std::abs(part.rotation - tarn::kRotationStep) < 1e-12);
  QTest::keyClick(canvas(), 'C');
  QTest::keyClick(canvas(), 'c');
  QVERIFY(std::abs(part.rotation + tarn::kRotationStep) < 1e-12);
  wheel(centre, 120);
  QVERIFY(std::abs(part.rotation) < 1e-12);
  wheel(centre, -120);
  QVERIFY(std::abs(part.rotation + tarn::kRotationStep) < 1e-12);
  QVERIFY(errors_.empty());
}

void MainWindowTest::arrowKeysPushTheSelection() {
  open(40001, "brackets.txt");
  layoutAll();
  tarn::PackingJob& job = *state().job;
  // The laid-out part that reaches furthest right has room to its right.
  Part* rightmost = nullptr;
  for (Part& part : job.workingParts) {
    if (laidOut(job, part) && (rightmost == nullptr || part.bbox.xmax > rightmost->bbox.xmax)) {
      rightmost = &part;
    }
  }
  QVERIFY(rightmost != nullptr);
  rightmost->selected = true;
  QTest::keyClick(canvas(), Qt::Key_Right);
  QVERIFY(job.params.plateLength - rightmost->bbox.xmax < 0.01);
  const double top = rightmost->bbox.ymax;
  QTest::keyClick(canvas(), Qt::Key_Down);
  QVERIFY(rightmost->bbox.ymax <= top);
  QVERIFY(laidOut(job, *rightmost));
  QTest::keyClick(canvas(), Qt::Key_Left);
  QVERIFY(laidOut(job, *rightmost));
}

void MainWindowTest::pansZoomsAndFits() {
  open(40001, "brackets.txt");
  const tarn::View fitted = *state().view;
  QTest::keyClick(canvas(), 'p');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseMove(canvas(), QPoint(130, 120));
  QCOMPARE(state().view->originX, fitted.originX + 30);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(150, 110));
  QCOMPARE(state().view->originX, fitted.originX + 50);
  QCOMPARE(state().view->originY, fitted.originY + 10);
  QTest::mouseMove(canvas(), QPoint(400, 400));  // released
  QCOMPARE(state().view->originX, fitted.originX + 50);

  QTest::keyClick(canvas(), 'x');
  QCOMPARE(state().view->originX, fitted.originX);
  QTest::keyClick(canvas(), 'z');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(100, 100));
  QTest::mouseMove(canvas(), QPoint(200, 150));
  QVERIFY(countPixels(grab(), qRgb(255, 255, 255)) > 0);  // the zoom band
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(200, 150));
  QVERIFY(state().view->scale > fitted.scale * 2);

  const Point under = state().view->screenToWorld({300, 200});
  wheel(QPoint(300, 200), 120);
  const Point after = state().view->screenToWorld({300, 200});
  QVERIFY(std::abs(after.x - under.x) * state().view->scale < 1.0);
  QVERIFY(std::abs(after.y - under.y) * state().view->scale < 1.0);

  clickKit(tarn::kKitFitAll);
  QCOMPARE(state().view->scale, fitted.scale);
  QCOMPARE(state().clickCount, 0);

  // A resize fits the plate again.
  wheel(QPoint(300, 200), 120);
  window_->resize(700, 500);
  QTRY_COMPARE(state().clientWidth, canvas()->width());
  QCOMPARE(state().view->width, canvas()->width());
  const tarn::View& resized = *state().view;
  QCOMPARE(resized.originX, canvas()->width() / 2);
}

void MainWindowTest::viewMenuTogglesBackgroundAndVisibility() {
  open(40001, "brackets.txt");
  const QPoint corner(2, 2);
  window_->action(40006)->trigger();
  QCOMPARE(grab().pixel(corner) & 0xffffff, 0xffffffu);
  QVERIFY(window_->action(40006)->isChecked());
  QVERIFY(!window_->action(40005)->isChecked());
  window_->action(40005)->trigger();
  QCOMPARE(grab().pixel(corner) & 0xffffff, 0u);
  window_->action(40005)->trigger();  // the checked item stays checked
  QVERIFY(window_->action(40005)->isChecked());

  const int greenBefore = countPixels(grab(), qRgb(0, 255, 0));
  window_->action(40018)->trigger();
  QVERIFY(window_->action(40018)->isChecked());
  QVERIFY(countPixels(grab(), qRgb(0, 255, 0)) > greenBefore);  // working outlines too

  clickKit(tarn::kKitLayoutAll);
  const int blueWithPoints = countPixels(grab(), qRgb(0, 0, 255));
  window_->action(40012)->trigger();
  QVERIFY(!window_->action(40012)->isChecked());
  QVERIFY(countPixels(grab(), qRgb(0, 0, 255)) < blueWithPoints);
  window_->action(40012)->trigger();
  QVERIFY(window_->action(40012)->isChecked());
  QCOMPARE(countPixels(grab(), qRgb(0, 0, 255)), blueWithPoints);
}

void MainWindowTest::renewDialogAppliesAndRefusesNumbers() {
  window_->action(40003)->trigger();
  auto* dialog = window_->renewDialog();
  QVERIFY(dialog != nullptr);
  QCOMPARE(dialog->windowTitle(), QStringLiteral("Renew RN&PPD"));
  QVERIFY(dialog->findChild<QLineEdit*>(QStringLiteral("field_1001"))->text().isEmpty());
  QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button_1")),
                    Qt::LeftButton);  // no job: only closes
  QVERIFY(window_->renewDialog() == nullptr);

  open(40001, "brackets.txt");
  const double derived = state().job->params.packingPointDistance;
  window_->action(40003)->trigger();
  dialog = window_->renewDialog();
  auto* rn = dialog->findChild<QLineEdit*>(QStringLiteral("field_1001"));
  auto* ppd = dialog->findChild<QLineEdit*>(QStringLiteral("field_1002"));
  auto button = [&dialog](int id) {
    return dialog->findChild<QPushButton*>(QStringLiteral("button_%1").arg(id));
  };
  QCOMPARE(rn->text(), QStringLiteral("4"));
  QCOMPARE(ppd->text(), QString::asprintf("%f", derived));

  rn->setText(QStringLiteral("12abc"));
  QTest::mouseClick(button(1004), Qt::LeftButton);
  QCOMPARE(state().job->params.rotationNumber, 12);

  ppd->setText(QStringLiteral("45.5mm"));
  QTest::mouseClick(button(1000), Qt::LeftButton);
  QCOMPARE(state().job->params.packingPointDistance, 45.5);
  QVERIFY(state().job->gridCountX > 0);

  ppd->setText(QStringLiteral("0"));
  QTest::mouseClick(button(1000), Qt::LeftButton);
  QCOMPARE(errors_.size(), std::size_t{1});
  QCOMPARE(state().job->params.packingPointDistance, 45.5);
  QTest::mouseClick(button(1), Qt::LeftButton);  // refused again: the dialog stays
  QCOMPARE(errors_.size(), std::size_t{2});
  QVERIFY(window_->renewDialog() == dialog);

  QTest::mouseClick(button(2), Qt::LeftButton);  // cancel keeps what was applied
  QVERIFY(window_->renewDialog() == nullptr);
  QCOMPARE(state().job->params.packingPointDistance, 45.5);

  window_->action(40003)->trigger();
  dialog = window_->renewDialog();
  dialog->findChild<QLineEdit*>(QStringLiteral("field_1001"))->setText(QStringLiteral(" 6"));
  dialog->findChild<QLineEdit*>(QStringLiteral("field_1002"))->setText(QStringLiteral("60"));
  QTest::mouseClick(button(1), Qt::LeftButton);
  QVERIFY(window_->renewDialog() == nullptr);
  QCOMPARE(state().job->params.rotationNumber, 6);
  QCOMPARE(state().job->params.packingPointDistance, 60.0);
}

void MainWindowTest::packingKitButtonsRunTheirCommands() {
  open(40001, "brackets.txt");
  QWidget* kit = window_->packingKit();
  QCOMPARE(kit->windowTitle(), QString::fromUtf8("Packing Kit 排样工具箱"));
  // Lines too wide for the button wrap at blanks, as multi-line buttons do.
  QCOMPARE(kit->findChild<QPushButton*>(QStringLiteral("button_1009"))->text().simplified(),
           QString::fromUtf8("Select Part(s) 选择零件"));
  QVERIFY(kit->parentWidget() == window_.get());
  QVERIFY(!kit->isModal());

  clickKit(tarn::kKitSelectAll);
  QCOMPARE(state().mode, InteractionMode::Select);
  for (const Part& part : state().job->workingParts) {
    QVERIFY(part.selected);
  }
  clickKit(tarn::kKitSelectNone);
  for (const Part& part : state().job->workingParts) {
    QVERIFY(!part.selected);
  }

  clickKit(tarn::kKitLayoutMultipleSteps);  // nothing selected: only the timing notice
  QCOMPARE(announcements(), 1);
  QVERIFY(QFile::exists(QString::fromUtf8("排样计算时间.txt")));

  clickKit(tarn::kKitLayoutNext);
  clickKit(tarn::kKitLayoutNext);
  QCOMPARE(announcements(), 1);  // silent
  int packed = 0;
  for (const Part& part : state().job->workingParts) {
    packed += laidOut(*state().job, part) ? 1 : 0;
  }
  QCOMPARE(packed, 2);

  clickKit(tarn::kKitLayout);  // the staged part is selected and already placed
  QCOMPARE(announcements(), 2);

  clickKit(tarn::kKitPackingReport);
  QCOMPARE(reports_.size(), std::size_t{1});
  QCOMPARE(reports_.front(), QDir::current().absoluteFilePath(QStringLiteral("Report.txt")));

  nextFile_ = QDir::current().absoluteFilePath(QStringLiteral("layout.dxf"));
  clickKit(tarn::kKitLayoutInDxf);
  QCOMPARE(fileRequests_.back(), tarn::FileRequest::SaveLayoutDxf);
  QVERIFY(QFile::exists(nextFile_));
  QFile::remove(nextFile_);
  window_->action(40004)->trigger();
  QVERIFY(QFile::exists(nextFile_));

  // After the tool buttons the arrow keys reach the main window again.
  clickKit(tarn::kKitContactLeft);
  QTRY_VERIFY(QApplication::activeWindow() == window_.get());
  QVERIFY(window_->canvas()->hasFocus());

  auto* before = window_->packingKit();
  window_->action(40016)->trigger();
  QVERIFY(window_->packingKit() != nullptr && window_->packingKit() != before);
  clickKit(tarn::kKitOk);
  QVERIFY(window_->packingKit() == nullptr);
  window_->action(40016)->trigger();
  window_->packingKit()->close();  // the close box acts as Cancel
  QVERIFY(window_->packingKit() == nullptr);
  QVERIFY(errors_.empty());
}

void MainWindowTest::modeSwitchesKeepTheClickCountWhereTheyShould() {
  open(40001, "brackets.txt");
  layoutAll();
  const tarn::PackingJob& job = *state().job;
  // A band anchored in the empty corner above the plate's left end...
  const ScreenPoint topLeft = toScreen({0.0, job.params.plateWidth});
  const QPoint anchor(topLeft.x - 5, topLeft.y - 5);
  QTest::keyClick(canvas(), 's');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, anchor);
  QTest::keyClick(canvas(), Qt::Key_Escape);
  // ...then a Pan grab, and "Select Part(s)" in the middle of it.
  QTest::keyClick(canvas(), 'p');
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(300, 300));
  clickKit(tarn::kKitSelectParts);
  QCOMPARE(state().mode, InteractionMode::Select);
  QCOMPARE(state().clickCount, 1);
  const ScreenPoint bottomRight = toScreen({job.params.plateLength, 0.0});
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(bottomRight.x + 5, bottomRight.y + 5));
  int selected = 0;
  for (const Part& part : job.workingParts) {
    selected += part.selected ? 1 : 0;
    QVERIFY(part.selected == laidOut(job, part));
  }
  QVERIFY(selected > 0);

  clickKit(tarn::kKitMoveParts);
  QCOMPARE(state().clickCount, 0);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(300, 300));
  QTest::keyClick(canvas(), 'z');
  QCOMPARE(state().clickCount, 1);
  QTest::keyClick(canvas(), 'r');
  QCOMPARE(state().clickCount, 0);
}

void MainWindowTest::stagedLayoutIsSilentOnce() {
  open(40020, "flanges.preSrc");
  QTest::keyClick(canvas(), 'n');
  QTest::keyClick(canvas(), 'B');
  QCOMPARE(announcements(), 0);
  QTest::keyClick(canvas(), 'b');
  QCOMPARE(announcements(), 1);
  QTest::keyClick(canvas(), 'e');
  QCOMPARE(reports_.size(), std::size_t{1});
  QVERIFY(errors_.empty());
}

void MainWindowTest::namesAreDecodedForDisplay() {
  using tarn::gui::displayText;
  QCOMPARE(displayText("\xe9\x9b\xb6\xe4\xbb\xb6 A-1"), QString::fromUtf8("零件 A-1"));
  QCOMPARE(displayText(""), QString());
  // GBK bytes are not valid UTF-8.
  const QString gbk = displayText("\xc1\xe3\xbc\xfe");
  if (QStringDecoder("GBK").isValid()) {
    QCOMPARE(gbk, QString::fromUtf8("零件"));
  } else {
    QCOMPARE(gbk, QString::fromLatin1("\xc1\xe3\xbc\xfe"));
  }
}

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
