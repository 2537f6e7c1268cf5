// The desktop window driven headless with simulated keys, clicks, drags and
// the wheel: the wiring of menus, canvas and tool dialogs to the commands. The
// core is the real one, the desktop services are recorded.
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

using namespace tarn;
using tarn::gui::MainWindow;

namespace {

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

const QRgb kPlateBlue = qRgb(0, 0, 255);
const QRgb kUnselectedGreen = qRgb(0, 255, 0);
const QRgb kSelectedRed = qRgb(255, 0, 0);

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startsBlackWithTheDefaultItemsChecked();
  void opensEachExampleThroughTheMenuAndLaysItOut();
  void selectsByClickAndBandAndPaintsByState();
  void movesRotatesAndPushesTheSelection();
  void pansZoomsFitsAndTogglesTheView();
  void renewDialogAppliesAndRefusesNumbers();
  void packingKitButtonsRunTheirCommandsAndSwitchModes();
  void namesAreDecodedForDisplay();

 private:
  void open(int menuId, const char* example) {
    window_->openLibrary(menuId, examplePath(example));
    QVERIFY2(shell_.errors.isEmpty(), qPrintable(shell_.errors.join('\n')));
    QVERIFY(state().job != nullptr);
  }
  void clickKit(int id) {
    QVERIFY(window_->packingKit() != nullptr);
    auto* button =
        window_->packingKit()->findChild<QPushButton*>(QStringLiteral("button_%1").arg(id));
    QVERIFY2(button != nullptr, qPrintable(QString::number(id)));
    QTest::mouseClick(button, Qt::LeftButton);
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
    QStringList reports;
    FileRequest lastRequest = FileRequest::None;
    QString nextFile;  // the file dialog's answer; empty: cancelled
    int announcements = 0;
  } shell_;
};

void MainWindowTest::init() {
  scratch_ = std::make_unique<QTemporaryDir>();
  QVERIFY(scratch_->isValid());
  previousDir_ = QDir::currentPath();
  QDir::setCurrent(scratch_->path());
  qputenv("XDG_STATE_HOME", scratch_->path().toUtf8());
  shell_ = {};
  window_ = std::make_unique<MainWindow>();
  gui::ShellHooks hooks;
  hooks.showError = [this](const QString& message) { shell_.errors.append(message); };
  hooks.chooseFile = [this](FileRequest request, const QString&) {
    shell_.lastRequest = request;
    return shell_.nextFile;
  };
  hooks.showReport = [this](const QString& path) { shell_.reports.append(path); };
  window_->setHooks(hooks);
  setNoticeHook([this](const Notice& notice) {
    shell_.announcements += notice.kind == Notice::Kind::Announcement ? 1 : 0;
  });
  window_->resize(900, 700);
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void MainWindowTest::cleanup() {
  setNoticeHook({});
  window_.reset();
  QDir::setCurrent(previousDir_);
  scratch_.reset();
}

void MainWindowTest::startsBlackWithTheDefaultItemsChecked() {
  QVERIFY(window_->action(40005)->isChecked() && window_->action(40012)->isChecked());
  QVERIFY(!window_->action(40006)->isChecked() && !window_->action(40018)->isChecked());
  const QImage image = grab();
  QCOMPARE(countPixels(image, qRgb(0, 0, 0)), image.width() * image.height());
}

void MainWindowTest::opensEachExampleThroughTheMenuAndLaysItOut() {
  const std::pair<int, const char*> libraries[] = {
      {40001, "brackets.txt"}, {40020, "flanges.preSrc"}, {40002, "panels.lst"}};
  for (const auto& [menuId, file] : libraries) {
    window_->action(40003)->trigger();
    auto* previousKit = window_->packingKit();
    open(menuId, file);
    QVERIFY(window_->renewDialog() == nullptr);  // Open closes both tool dialogs...
    QVERIFY(window_->packingKit() != nullptr && window_->packingKit() != previousKit);
    QVERIFY(window_->packingKit()->isVisible());  // ...and opens the kit anew
    QCOMPARE(state().lastPath, examplePath(file).toStdString());
    QCOMPARE(packedCount(), 0);
    clickKit(kKitLayoutAll);
    QCOMPARE(packedCount(), job().workingParts.count());
    QVERIFY(QFile::exists(QStringLiteral("Report.txt")));
    QVERIFY(shell_.reports.isEmpty());  // written, not shown
  }
  QCOMPARE(shell_.announcements, 3);

  // A failed or cancelled Open keeps the job it had.
  PackingJob* before = state().job.get();
  window_->openLibrary(40001, examplePath("no-such-library.txt"));
  QCOMPARE(shell_.errors.size(), 1);
  QCOMPARE(state().job.get(), before);
  window_->action(40020)->trigger();  // the user cancels the file dialog
  QCOMPARE(shell_.lastRequest, FileRequest::OpenPreSrc);
  QCOMPARE(state().job.get(), before);
  QCOMPARE(shell_.errors.size(), 1);
}

void MainWindowTest::selectsByClickAndBandAndPaintsByState() {
  open(40001, "brackets.txt");
  clickKit(kKitLayoutAll);
  if (const QByteArray path = qgetenv("TARN_SCREENSHOT"); !path.isEmpty()) {
    window_->grab().save(QString::fromLocal8Bit(path));  // the README's picture
  }
  QImage image = grab();
  QCOMPARE(image.pixel(toScreen({1500.0, job().params.plateWidth})) & 0xffffff,
           kPlateBlue & 0xffffff);
  QVERIFY(countPixels(image, kUnselectedGreen) > 0);
  QCOMPARE(countPixels(image, kSelectedRed), 0);
  key('A', Qt::ShiftModifier);
  image = grab();
  QCOMPARE(countPixels(image, kUnselectedGreen), 0);
  QVERIFY(countPixels(image, kSelectedRed) > 0);
  QTest::keyClick(canvas(), Qt::Key_Escape);
  QCOMPARE(countPixels(grab(), kSelectedRed), 0);

  // The largest part (first in the list) has holes.
  Part& part = job().workingParts.front();
  QVERIFY(part.holes.count() > 0);
  key('s');
  click(toScreen(computeCentroid(*part.holes.begin())));
  QVERIFY(!part.selected);
  QCOMPARE(state().gesture.clickCount, 1);  // a band began instead
  QTest::keyClick(canvas(), Qt::Key_Escape);
  Point onMaterial = part.centroid;
  for (int i = 1; !pointInPart(part, onMaterial) && i < 40; ++i) {
    onMaterial.x = part.bbox.xmin + (part.bbox.xmax - part.bbox.xmin) * i / 40.0;
  }
  click(toScreen(onMaterial));
  QVERIFY(part.selected);
  QCOMPARE(state().gesture.clickCount, 0);
  QVERIFY(countPixels(grab(), kSelectedRed) > 0);
  QTest::keyClick(canvas(), Qt::Key_Escape);

  // From empty space above the plate, left of the part, to the middle of its bottom.
  const QPoint low = toScreen({part.bbox.xmin, part.bbox.ymin}) + QPoint(0, 2);
  const QPoint middle(toScreen({(part.bbox.xmin + part.bbox.xmax) / 2, 0.0}).x(), low.y());
  const QPoint above(low.x() - 2, toScreen({0.0, job().params.plateWidth}).y() - 10);
  click(above);  // left to right: the part is not wholly inside
  QTest::mouseMove(canvas(), middle);
  QCOMPARE(state().gesture.rubberEnd.x, middle.x());
  click(middle);
  QVERIFY(!part.selected);
  click(
      QPoint(middle.x(), above.y()));  // right to left over the same rectangle: crossing is enough
  QTest::mouseMove(canvas(), QPoint(above.x(), low.y()));
  QVERIFY(countPixels(grab(), qRgb(255, 0, 255)) > 0);  // the dashed band
  click(QPoint(above.x(), low.y()));
  QVERIFY(part.selected);
}

void MainWindowTest::movesRotatesAndPushesTheSelection() {
  open(40001, "brackets.txt");
  Part& part = job().workingParts.front();  // parked outside the plate
  part.selected = true;
  const double scale = state().viewport.view.scale;
  const double x0 = part.bbox.xmin;
  const QPoint start(300, 300);  // the drag need not start on the part

  key('m');
  click(start);
  QTest::mouseMove(canvas(), start + QPoint(-20, 0));
  QVERIFY(std::abs(part.bbox.xmin - (x0 - 20 / scale)) < 1e-6);
  click(start + QPoint(-40, 0));
  QTest::mouseMove(canvas(), start);  // released
  QVERIFY(std::abs(part.bbox.xmin - (x0 - 40 / scale)) < 1e-6);
  // Outside the plate every checked step fails: in MoveChecked and with Shift in Move.
  const double x1 = part.bbox.xmin;
  key('o');
  click(start);
  QTest::mouseMove(canvas(), start + QPoint(-30, 0));
  click(start + QPoint(-30, 0));
  key('M');
  click(start);
  click(start + QPoint(-30, 0), Qt::ShiftModifier);
  QCOMPARE(part.bbox.xmin, x1);

  const QPoint centre = toScreen(part.centroid);
  key('r');
  click(centre);
  QCOMPARE(state().gesture.rotationCentreScreen.x, centre.x());
  key('a');
  QVERIFY(std::abs(part.rotation - kRotationStep) < 1e-12);
  key('C');
  key('c');
  QVERIFY(std::abs(part.rotation + kRotationStep) < 1e-12);
  wheel(centre, 120);
  QVERIFY(std::abs(part.rotation) < 1e-12);
  wheel(centre, -120);
  QVERIFY(std::abs(part.rotation + kRotationStep) < 1e-12);

  // After a layout the part that reaches furthest right can be pushed to the plate's edge.
  clickKit(kKitLayoutAll);
  Part* rightmost = &job().workingParts.front();
  for (Part& p : job().workingParts) {
    rightmost = p.bbox.xmax > rightmost->bbox.xmax ? &p : rightmost;
  }
  rightmost->selected = true;
  QTest::keyClick(canvas(), Qt::Key_Right);
  QVERIFY(job().params.plateLength - rightmost->bbox.xmax < 0.01);
  QVERIFY(shell_.errors.isEmpty());
}

void MainWindowTest::pansZoomsFitsAndTogglesTheView() {
  open(40001, "brackets.txt");
  const View fitted = state().viewport.view;
  key('p');
  click(QPoint(100, 100));
  QTest::mouseMove(canvas(), QPoint(130, 120));
  QCOMPARE(state().viewport.view.originX, fitted.originX + 30);
  click(QPoint(150, 110));
  QCOMPARE(state().viewport.view.originY, fitted.originY + 10);
  QTest::mouseMove(canvas(), QPoint(400, 400));  // released
  QCOMPARE(state().viewport.view.originX, fitted.originX + 50);
  key('x');
  QCOMPARE(state().viewport.view.originX, fitted.originX);

  key('z');
  click(QPoint(100, 100));
  QTest::mouseMove(canvas(), QPoint(200, 150));
  QVERIFY(countPixels(grab(), qRgb(255, 255, 255)) > 0);  // the zoom band
  click(QPoint(200, 150));
  QVERIFY(state().viewport.view.scale > fitted.scale * 2);
  const double zoomed = state().viewport.view.scale;
  wheel(QPoint(300, 200), 120);
  QVERIFY(state().viewport.view.scale > zoomed);
  clickKit(kKitFitAll);
  QCOMPARE(state().viewport.view.scale, fitted.scale);
  wheel(QPoint(300, 200), -120);
  window_->resize(700, 500);  // a resize fits the plate again
  QTRY_COMPARE(state().viewport.view.width, canvas()->width());
  QCOMPARE(state().viewport.view.originX, canvas()->width() / 2);

  const QPoint corner(2, 2);
  window_->action(40006)->trigger();
  QCOMPARE(grab().pixel(corner) & 0xffffff, 0xffffffu);
  QVERIFY(window_->action(40006)->isChecked() && !window_->action(40005)->isChecked());
  window_->action(40005)->trigger();
  window_->action(40005)->trigger();  // the checked item stays checked
  QCOMPARE(grab().pixel(corner) & 0xffffff, 0u);
  QVERIFY(window_->action(40005)->isChecked());

  const int greenBefore = countPixels(grab(), kUnselectedGreen);
  window_->action(40018)->trigger();
  QVERIFY(window_->action(40018)->isChecked());
  QVERIFY(countPixels(grab(), kUnselectedGreen) > greenBefore);  // working outlines too
  clickKit(kKitLayoutAll);
  const int blueWithPoints = countPixels(grab(), kPlateBlue);
  window_->action(40012)->trigger();
  QVERIFY(!window_->action(40012)->isChecked());
  QVERIFY(countPixels(grab(), kPlateBlue) < blueWithPoints);
}

void MainWindowTest::renewDialogAppliesAndRefusesNumbers() {
  window_->action(40003)->trigger();
  QCOMPARE(window_->renewDialog()->windowTitle(), QStringLiteral("Renew RN&PPD"));
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
  QCOMPARE(ppd->text(), QString::asprintf("%f", job().params.packingPointDistance));

  rn->setText(QStringLiteral("12abc"));
  press(kRenewRotationNumber);
  QCOMPARE(job().params.rotationNumber, 12);
  ppd->setText(QStringLiteral("45.5mm"));
  press(kRenewDistance);
  QCOMPARE(job().params.packingPointDistance, 45.5);

  ppd->setText(QStringLiteral("0"));
  press(kRenewOk);  // refused: the dialog stays
  QCOMPARE(shell_.errors.size(), 1);
  QCOMPARE(job().params.packingPointDistance, 45.5);
  QVERIFY(window_->renewDialog() == dialog);
  ppd->setText(QStringLiteral("60"));
  rn->setText(QStringLiteral(" 6"));
  press(kRenewOk);
  QVERIFY(window_->renewDialog() == nullptr);
  QCOMPARE(job().params.rotationNumber, 6);
  QCOMPARE(job().params.packingPointDistance, 60.0);
}

void MainWindowTest::packingKitButtonsRunTheirCommandsAndSwitchModes() {
  open(40020, "flanges.preSrc");
  QWidget* kit = window_->packingKit();
  QCOMPARE(kit->windowTitle(), QString::fromUtf8("Packing Kit 排样工具箱"));
  QVERIFY(kit->parentWidget() == window_.get() && !kit->isModal());
  // Lines too wide for the button wrap at blanks, as multi-line buttons do.
  QCOMPARE(kit->findChild<QPushButton*>(QStringLiteral("button_1009"))->text().simplified(),
           QString::fromUtf8("Select Part(s) 选择零件"));

  key('n');  // the staged layout is silent once
  key('B');
  QCOMPARE(shell_.announcements, 0);
  clickKit(kKitLayoutNext);
  QCOMPARE(packedCount(), 2);
  clickKit(kKitLayout);  // the staged part is selected and already placed
  QCOMPARE(shell_.announcements, 1);
  clickKit(kKitSelectAll);
  QCOMPARE(state().gesture.mode, InteractionMode::Select);
  clickKit(kKitSelectNone);
  clickKit(kKitLayoutMultipleSteps);  // nothing selected: only the timing notice
  QCOMPARE(shell_.announcements, 2);
  QVERIFY(QFile::exists(QString::fromUtf8("排样计算时间.txt")));
  clickKit(kKitPackingReport);
  key('e');
  QCOMPARE(shell_.reports.size(), 2);
  QCOMPARE(shell_.reports.front(), QDir::current().absoluteFilePath(QStringLiteral("Report.txt")));

  shell_.nextFile = QDir::current().absoluteFilePath(QStringLiteral("layout.dxf"));
  clickKit(kKitLayoutInDxf);
  QCOMPARE(shell_.lastRequest, FileRequest::SaveLayoutDxf);
  QVERIFY(QFile::remove(shell_.nextFile));
  window_->action(40004)->trigger();
  QVERIFY(QFile::exists(shell_.nextFile));

  // A Pan grab finished in Select mode; the switch to Move clears the count.
  clickKit(kKitPan);
  click(QPoint(300, 300));
  clickKit(kKitSelectParts);
  QCOMPARE(state().gesture.clickCount, 1);
  clickKit(kKitMoveParts);
  QCOMPARE(state().gesture.clickCount, 0);
  // After the tool buttons the arrow keys reach the main window again.
  clickKit(kKitContactLeft);
  QTRY_VERIFY(QApplication::activeWindow() == window_.get());
  QVERIFY(canvas()->hasFocus());

  clickKit(kKitOk);
  QVERIFY(window_->packingKit() == nullptr);
  window_->action(40016)->trigger();
  window_->packingKit()->close();  // the close box acts as Cancel
  QVERIFY(window_->packingKit() == nullptr);
  QVERIFY(shell_.errors.isEmpty());
}

void MainWindowTest::namesAreDecodedForDisplay() {
  QCOMPARE(gui::displayText("\xe9\x9b\xb6\xe4\xbb\xb6 A-1"), QString::fromUtf8("零件 A-1"));
  // GBK bytes are not valid UTF-8.
  QCOMPARE(gui::displayText("\xc1\xe3\xbc\xfe"), QStringDecoder("GBK").isValid()
                                                     ? QString::fromUtf8("零件")
                                                     : QString::fromLatin1("\xc1\xe3\xbc\xfe"));
}

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
