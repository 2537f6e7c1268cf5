#include "app/gui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iterator>

#include "app/app_texts.h"
#include "app/gui/canvas_widget.h"
#include "app/gui/display_text.h"
#include "app/gui/drawings_dialog.h"
#include "app/gui/optimise_window.h"
#include "app/gui/parts_list.h"
#include "app/gui/run_controller.h"
#include "app/gui/tool_dialogs.h"
#include "app/open_drawings.h"
#include "app/plate_tabs.h"
#include "geometry/texts.h"

// Outside any namespace, as the resource system requires.
static void initialiseResources() {
  Q_INIT_RESOURCE(tarnpacking);
}

namespace tarn::gui {
namespace {

constexpr char kWindowClassName[] = "TarnPacking";
constexpr char kSettingsName[] = "TarnPacking";
constexpr char kRecentKey[] = "recentLibraries";
constexpr char kRecentPathKey[] = "path";
constexpr char kRecentFormatKey[] = "format";

struct MenuItem {
  int id;
  const char* text;
};

QString fromText(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path toPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString fromPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

int openCommandOf(LibraryFormat format) {
  switch (format) {
    case LibraryFormat::PartListFile:
      return kOpenPartListFile;
    case LibraryFormat::PreSrcFile:
      return kOpenPreSrcFile;
    case LibraryFormat::TextLibrary:
      break;
  }
  return kOpenTextLibrary;
}

template <class Dialog>
void destroyDialog(QPointer<Dialog>& dialog) {
  if (dialog) {
    // Deferred: the dialog may be closing itself from one of its own buttons.
    // Until it goes, nothing it sends may reach the window.
    QObject::disconnect(dialog.data(), nullptr, nullptr, nullptr);
    dialog->hide();
    dialog->deleteLater();
    dialog.clear();
  }
}

struct FileDialogSetup {
  FileRequest request;
  std::string_view title;
  std::string_view filter;  // empty: a folder is chosen
  const char* suffix;
  bool save;
};

// The part list dialog lists *.lst as well: the classic one offered *.txt only.
constexpr FileDialogSetup kFileDialogs[] = {
    {FileRequest::OpenTextLibrary, "Open File of Parts ", "Text Files (*.txt)", "txt", false},
    {FileRequest::OpenPartList, "Open File of Parts ", app_text::kPartListFilter, "lst", false},
    {FileRequest::OpenPreSrc, "Read Velmar File", "Text Files (*.preSrc)", "preSrc", false},
    {FileRequest::SaveLayoutDxf, "Write DXF File of Layout", "Text Files (*.DXF)", "dxf", true},
    {FileRequest::SaveLayoutsFolder, app_text::kSaveLayoutsTitle, {}, "", false},
};

QString chooseFileWithDialog(QWidget* owner, FileRequest request, const QString& lastPath) {
  const auto* setup = std::find_if(std::begin(kFileDialogs), std::end(kFileDialogs),
                                   [request](const auto& s) { return s.request == request; });
  if (setup == std::end(kFileDialogs)) {
    return {};
  }
  QFileDialog dialog(owner);
  if (!lastPath.isEmpty()) {
    dialog.selectFile(lastPath);
  }
  dialog.setWindowTitle(fromText(setup->title));
  if (setup->filter.empty()) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog.setNameFilters({fromText(setup->filter), fromText(app_text::kAllFilesFilter)});
    dialog.setDefaultSuffix(QString::fromUtf8(setup->suffix));
    dialog.setAcceptMode(setup->save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup->save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().constFirst();
}

// The first local file of a drag, or an empty string.
QString draggedFile(const QMimeData* mime) {
  if (mime == nullptr) {
    return {};
  }
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) {
      return url.toLocalFile();
    }
  }
  return {};
}

QString exceptionText(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return displayText(e.what());
  } catch (...) {
    return {};
  }
}

}  // namespace

ShellHooks defaultShellHooks(QWidget* owner) {
  ShellHooks hooks;
  hooks.showError = [owner](const QString& message) {
    QMessageBox::warning(owner, displayText(text::kWarningCaption), message);
  };
  hooks.showMessage = [owner](const QString& message) {
    QMessageBox::information(owner, fromText(app_text::kProgramName), message);
  };
  hooks.chooseFile = [owner](FileRequest request, const QString& lastPath) {
    return chooseFileWithDialog(owner, request, lastPath);
  };
  hooks.chooseDrawings = [owner](const QString& lastPath) {
    return QFileDialog::getOpenFileNames(owner, fromText(app_text::kOpenDrawingsTitle), lastPath,
                                         fromText(app_text::kDrawingsFilter) +
                                             QStringLiteral(";;") +
                                             fromText(app_text::kAllFilesFilter));
  };
  hooks.showReport = [](const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  return hooks;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), hooks_(defaultShellHooks(this)) {
  initialiseResources();
  setObjectName(QLatin1String(kWindowClassName));
  setWindowIcon(QIcon(QStringLiteral(":/tarnpacking.png")));
  setAcceptDrops(true);
  canvas_ = new CanvasWidget(*this);
  buildPlateTabs();
  runs_ = new RunController(this);
  connect(runs_, &RunController::busyChanged, this, [this](bool busy) {
    state_.jobLocked = busy;
    syncActions();
  });
  connect(runs_, &RunController::progressed, this, [this] { pullSearch(); });
  buildMenus();
  buildDocks();
  buildStatusBar();
  loadRecentLibraries();
  refresh();
  canvas_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
  // The floating dialogs go with the window, so the event loop ends with it; a
  // search still going is stopped and waited for as the window goes.
  destroyDialog(renewDialog_);
  destroyDialog(optimiser_);
  QMainWindow::closeEvent(event);
}

PackingKitDialog* MainWindow::packingKit() const {
  return packingKit_.data();
}

RenewDialog* MainWindow::renewDialog() const {
  return renewDialog_.data();
}

QLabel* MainWindow::statusField(const QString& name) const {
  return statusFields_.value(name, nullptr);
}

void MainWindow::buildMenus() {
  struct Menu {
    const char* title;
    std::vector<MenuItem> items;  // id 0: a separator
  };
  // "LayoutInDxf" and "ExportParts" take the mnemonics L and E: D is OpenLibInDxf's.
  const Menu menus[] = {
      {"File",
       {{kOpenTextLibrary, "OpenLibIn&Txt"},
        {kOpenPartListFile, "OpenLibIn&Dxf"},
        {kOpenPreSrcFile, "OpenLibIn&Velmar"},
        {kOpenDrawings, app_text::kOpenDrawings.data()},
        {0, nullptr},
        {kLayoutInDxf, "&LayoutInDxf"},
        {kExportParts, "&ExportParts(*.dxf)"},
        {kSaveLayouts, app_text::kSaveLayouts.data()}}},
      {"Edit", {{kUndo, app_text::kUndo.data()}, {kRedo, app_text::kRedo.data()}}},
      {"Layout",
       {{kShowPackingKit, "Packing Kit"},
        {kShowRenewDialog, "&Renew_RN_PPD"},
        {0, nullptr},
        {kLayOutOnPlates, app_text::kLayOutOnPlates.data()},
        {kLayOutOnPlatesInSteps, app_text::kLayOutOnPlatesInSteps.data()},
        {kMoveToNextPlate, app_text::kMoveToNextPlate.data()},
        {0, nullptr},
        {kOptimise, app_text::kOptimise.data()}}},
      {"View",
       {{kBlackBackground, "&Black Background"},
        {kWhiteBackground, "&White Background"},
        {kPackingPointsVisible, "PPT_Visible"},
        {kOffsetPartsVisible, "OffsetedPartVisible"},
        {0, nullptr},
        {kFitAllParts, app_text::kFitAllParts.data()},
        {kNextPlate, app_text::kNextPlate.data()},
        {kPreviousPlate, app_text::kPreviousPlate.data()}}},
  };
  for (const Menu& menu : menus) {
    QMenu* qmenu = menuBar()->addMenu(QString::fromUtf8(menu.title));
    qmenu->setObjectName(QStringLiteral("menu_") + QString::fromUtf8(menu.title));
    for (const MenuItem& item : menu.items) {
      if (item.id == 0) {
        qmenu->addSeparator();
        continue;
      }
      QAction* action = qmenu->addAction(QString::fromUtf8(item.text));
      action->setObjectName(QStringLiteral("action_%1").arg(item.id));
      action->setData(item.id);
      const int id = item.id;
      if (id == kBlackBackground || id == kWhiteBackground || id == kPackingPointsVisible ||
          id == kOffsetPartsVisible) {
        action->setCheckable(true);
      }
      if (id == kOpenTextLibrary || id == kOpenPartListFile || id == kOpenPreSrcFile) {
        connect(action, &QAction::triggered, this, [this, id] { openLibrary(id); });
      } else if (id == kOpenDrawings) {
        connect(action, &QAction::triggered, this, [this] { openDrawings(); });
      } else {
        connect(action, &QAction::triggered, this,
                [this, id] { run([this, id] { return runMenuCommand(state_, id); }); });
      }
      actions_.insert(id, action);
    }
    if (qmenu->objectName() == QLatin1String("menu_File")) {
      qmenu->addSeparator();
      recentMenu_ = qmenu->addMenu(fromText(app_text::kRecentLibraries));
      recentMenu_->setObjectName(QStringLiteral("menu_Recent"));
    }
  }
  action(kUndo)->setShortcut(QKeySequence::Undo);
  action(kRedo)->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  action(kFitAllParts)->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_X));
  action(kNextPlate)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  action(kPreviousPlate)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
}

// The tabs sit above the canvas with nothing between them; without a set the
// bar is hidden and the canvas fills the area as it always has.
void MainWindow::buildPlateTabs() {
  auto* area = new QWidget(this);
  area->setObjectName(QStringLiteral("canvasArea"));
  auto* layout = new QVBoxLayout(area);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  plateTabs_ = new QTabBar(area);
  plateTabs_->setObjectName(QStringLiteral("plateTabs"));
  plateTabs_->setDocumentMode(true);
  plateTabs_->setExpanding(false);
  plateTabs_->setFocusPolicy(Qt::NoFocus);  // the keys stay with the canvas
  plateTabs_->hide();
  layout->addWidget(plateTabs_);
  layout->addWidget(canvas_, 1);
  setCentralWidget(area);
  connect(plateTabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= 0) {
      run([this, index] { return switchPlate(state_, static_cast<std::size_t>(index)); });
    }
  });
}

void MainWindow::syncPlateTabs() {
  const QSignalBlocker quiet(plateTabs_);
  const int count = static_cast<int>(plateCount(state_));
  while (plateTabs_->count() > count) {
    plateTabs_->removeTab(plateTabs_->count() - 1);
  }
  while (plateTabs_->count() < count) {
    plateTabs_->addTab(displayText(plateTabTitle(static_cast<std::size_t>(plateTabs_->count()))));
  }
  plateTabs_->setCurrentIndex(static_cast<int>(currentPlate(state_)));
  plateTabs_->setVisible(count > 1);
}

void MainWindow::buildDocks() {
  setDockOptions(QMainWindow::AnimatedDocks);

  // The kit sits beside the canvas and can move to either side, but never
  // floats over it.
  kitDock_ = new QDockWidget(this);
  kitDock_->setObjectName(QStringLiteral("packingKitDock"));
  kitDock_->setWindowTitle(QString::fromUtf8("Packing Kit 排样工具箱"));
  kitDock_->setFeatures(QDockWidget::DockWidgetMovable);
  kitDock_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  kitArea_ = new QScrollArea(kitDock_);
  kitArea_->setObjectName(QStringLiteral("packingKitArea"));
  kitArea_->setFocusPolicy(Qt::NoFocus);
  kitArea_->setFrameShape(QFrame::NoFrame);
  kitArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  kitArea_->setWidgetResizable(false);
  kitDock_->setWidget(kitArea_);
  addDockWidget(Qt::RightDockWidgetArea, kitDock_);
  kitDock_->hide();

  partsDock_ = new QDockWidget(fromText(app_text::kPartsList), this);
  partsDock_->setObjectName(QStringLiteral("partsListDock"));
  partsList_ = new PartsList(partsDock_);
  partsDock_->setWidget(partsList_);
  addDockWidget(Qt::LeftDockWidgetArea, partsDock_);
  QAction* toggle = partsDock_->toggleViewAction();
  toggle->setText(fromText(app_text::kPartsListToggle));
  if (QMenu* view = menuBar()->findChild<QMenu*>(QStringLiteral("menu_View"))) {
    view->addAction(toggle);
  }
  connect(partsList_, &PartsList::selectionEdited, this, [this](const std::vector<int>& ids) {
    run([this, ids] { return selectPartsById(state_, ids); });
  });
}

void MainWindow::buildStatusBar() {
  const char* const left[] = {"cursor", "mode"};
  const char* const right[] = {"parts", "length", "utilisation", "rn", "ppd"};
  const int gap = fontMetrics().averageCharWidth();  // between two fields
  const auto field = [this, gap](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("status_") + QLatin1String(name));
    label->setContentsMargins(gap, 0, gap, 0);
    statusFields_.insert(QLatin1String(name), label);
    return label;
  };
  for (const char* name : left) {
    statusBar()->addWidget(field(name));
  }
  for (const char* name : right) {
    statusBar()->addPermanentWidget(field(name));
  }
  // The cursor field keeps its width as the numbers change.
  statusFields_.value(QStringLiteral("cursor"))
      ->setMinimumWidth(
          fontMetrics().horizontalAdvance(QStringLiteral("x -00000.0 mm, y -0000.0 mm")));
}

void MainWindow::run(const std::function<Effects()>& command) {
  try {
    apply(command());
  } catch (const std::exception& e) {
    // A CoreError, or one not of ours (a full disk, no memory): shown, the job kept.
    hooks_.showError(displayText(e.what()));
  }
  refresh();
}

void MainWindow::openLibrary(int menuId, const QString& path) {
  run([this, menuId, path] {
    apply(runMenuCommand(state_, menuId), path.isEmpty() ? QStringList() : QStringList{path});
    return Effects{};
  });
}

void MainWindow::openDrawings(const QStringList& paths) {
  run([this, paths] {
    apply(runMenuCommand(state_, kOpenDrawings), paths);
    return Effects{};
  });
}

DrawingsDialog* MainWindow::drawingsDialog() const {
  return drawingsDialog_.data();
}

void MainWindow::openDetected(const QString& path) {
  if (runs_->busy() || path.isEmpty()) {
    return;
  }
  const QString absolute = QFileInfo(path).absoluteFilePath();
  openLibrary(openCommandOf(detectLibraryFormat(toPath(absolute))), absolute);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!runs_->busy() && !draggedFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString file = draggedFile(event->mimeData());
  if (runs_->busy() || file.isEmpty()) {
    return;
  }
  event->acceptProposedAction();
  openDetected(file);
}

void MainWindow::apply(const Effects& effects, const QStringList& presetPaths) {
  closeDialogs(effects);
  if (effects.fileRequest != FileRequest::None) {
    handleFileRequest(effects, presetPaths);
  }
  if (effects.run) {
    startRun(*effects.run);
  }
  if (effects.openPackingKit) {
    openPackingKit();
  }
  if (effects.openRenewDialog) {
    openRenewDialog();
  }
  if (effects.openOptimiser) {
    openOptimiser();
  }
  if (effects.focusMainWindow) {
    focusMainWindow();
  }
  if (effects.repaint) {
    canvas_->update();
  }
  if (effects.showReport) {
    const QString report = QDir::current().absoluteFilePath(fromPath(reportFile(state_)));
    if (!hooks_.showReport(report)) {
      hooks_.showMessage(
          QString::asprintf(app_text::kReportNotOpened.data(), report.toUtf8().constData()));
    }
  }
  if (!effects.message.empty()) {
    hooks_.showMessage(displayText(effects.message));
  }
  if (!effects.warning.empty()) {
    hooks_.showError(displayText(effects.warning));
  }
}

// Asks for the file (unless the caller gave one) and runs the command that needed it.
void MainWindow::handleFileRequest(const Effects& effects, const QStringList& presetPaths) {
  const QString lastPath = QString::fromStdString(state_.lastPath);
  if (effects.fileRequest == FileRequest::OpenDrawings) {
    const QStringList chosen =
        presetPaths.isEmpty() ? hooks_.chooseDrawings(lastPath) : presetPaths;
    if (!chosen.isEmpty()) {
      state_.lastPath = chosen.constFirst().toStdString();
      showDrawingsDialog(chosen);
    }
    return;
  }
  const QString chosen = presetPaths.isEmpty() ? hooks_.chooseFile(effects.fileRequest, lastPath)
                                               : presetPaths.constFirst();
  if (chosen.isEmpty()) {
    return;
  }
  state_.lastPath = chosen.toStdString();
  if (effects.fileRequest == FileRequest::SaveLayoutDxf) {
    apply(writeLayoutFile(state_, toPath(chosen)));
    return;
  }
  if (effects.fileRequest == FileRequest::SaveLayoutsFolder) {
    apply(writeLayoutsFolder(state_, toPath(chosen)));
    return;
  }
  startRun(RunRequest{RunKind::Open, true, toPath(chosen), effects.openFormat, {}});
}

// Window-modal but not blocking: the load starts once the dialog is confirmed.
void MainWindow::showDrawingsDialog(const QStringList& paths) {
  destroyDialog(drawingsDialog_);
  std::vector<std::filesystem::path> drawings;
  for (const QString& path : paths) {
    drawings.push_back(toPath(path));
  }
  drawingsDialog_ = new DrawingsDialog(this, drawingJobDefaults(state_, drawings));
  drawingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
  connect(drawingsDialog_.data(), &QDialog::accepted, this, [this] {
    const DrawingJobRequest request = drawingsDialog_->request();
    run([this, request] { return openDrawingJob(state_, request); });
  });
  drawingsDialog_->open();
}

void MainWindow::startRun(const RunRequest& request) {
  if (runs_->busy()) {
    return;
  }
  RunWork work = prepareRun(state_, request);
  runs_->start<RunResult>(
      displayText(runTitle(request)), std::move(work),
      [this, request](RunResult&& result) { finishRunHere(request, std::move(result)); },
      [this](std::exception_ptr failure) {
        // The job stays as it was: the work had only a copy, or a job of its own.
        hooks_.showError(exceptionText(failure));
        refresh();
      });
}

void MainWindow::finishRunHere(const RunRequest& request, RunResult result) {
  // A job from drawings is not a library that the recent files could reopen.
  const bool loaded = request.kind == RunKind::Open && result.job.has_value();
  run([this, &request, &result] { return finishRun(state_, request, std::move(result)); });
  if (loaded) {
    rememberRecent(request);
  }
  // Drawn now, before the run's notices (the timing announcement) are shown.
  canvas_->repaint();
}

OptimiseWindow* MainWindow::optimiser() const {
  return optimiser_.data();
}

void MainWindow::openOptimiser() {
  if (!optimiser_) {
    optimiser_ = new OptimiseWindow(this);
    connect(optimiser_.data(), &OptimiseWindow::startRequested, this,
            [this](const SearchSettings& settings) { startOptimise(settings); });
    connect(optimiser_.data(), &OptimiseWindow::stopRequested, this, [this] {
      if (searchWatch_) {
        runs_->cancel();
      }
    });
    placeBeside(*optimiser_);
  }
  syncActions();
  optimiser_->show();
  optimiser_->raise();
  optimiser_->activateWindow();
}

// The search has its own window: no progress dialog, figures from pullSearch().
void MainWindow::startOptimise(const SearchSettings& settings) {
  if (runs_->busy() || !state_.job || !optimiser_) {
    return;
  }
  searchWatch_ = std::make_shared<SearchWatch>();
  OptimiseWork work = prepareOptimise(state_, settings, searchWatch_);
  runs_->setShowsProgressDialog(false);
  const bool started = runs_->start<OptimiseOutcome>(
      fromText(app_text::kStepOptimise), std::move(work),
      [this](OptimiseOutcome&& outcome) { finishOptimiseHere(std::move(outcome)); },
      [this](std::exception_ptr failure) {
        searchWatch_.reset();
        state_.preview.reset();
        if (optimiser_) {
          optimiser_->setRunning(false);
        }
        hooks_.showError(exceptionText(failure));
        refresh();
        canvas_->update();
      });
  runs_->setShowsProgressDialog(true);  // read when a run begins
  if (started) {
    optimiser_->setRunning(true);
  } else {
    searchWatch_.reset();
  }
}

void MainWindow::pullSearch() {
  if (!searchWatch_) {
    return;
  }
  const SearchWatch::Seen seen = searchWatch_->take();
  if (seen.newBest) {
    state_.preview = seen.newBest;
    canvas_->update();
  }
  if (seen.reported && optimiser_) {
    optimiser_->showFigures(seen.best, seen.evaluations, seen.elapsedSeconds);
  }
}

void MainWindow::finishOptimiseHere(OptimiseOutcome outcome) {
  searchWatch_.reset();
  if (optimiser_) {
    if (outcome.result) {
      optimiser_->showFigures(outcome.result->final, outcome.result->evaluations,
                              outcome.result->seconds);
    }
    optimiser_->setRunning(false);
  }
  run([this, &outcome] { return finishOptimise(state_, outcome); });
  // Drawn now, before the search's notices are shown.
  canvas_->repaint();
  raiseSearchNotices(outcome);
}

void MainWindow::closeDialogs(const Effects& effects) {
  if (effects.closePackingKit) {
    destroyPackingKit();
  }
  if (effects.closeRenewDialog) {
    destroyDialog(renewDialog_);
  }
}

void MainWindow::openPackingKit() {
  destroyPackingKit();
  packingKit_ = new PackingKitDialog(kitArea_);
  connect(packingKit_.data(), &PackingKitDialog::buttonPressed, this,
          [this](int id) { run([this, id] { return pressPackingKitButton(state_, id); }); });
  kitArea_->setWidget(packingKit_);
  kitArea_->setMinimumWidth(packingKit_->width() +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  packingKit_->show();
  kitDock_->show();
  syncActions();
}

void MainWindow::destroyPackingKit() {
  if (packingKit_) {
    QObject::disconnect(packingKit_.data(), nullptr, this, nullptr);
    kitArea_->takeWidget();
    packingKit_->hide();
    packingKit_->deleteLater();
    packingKit_.clear();
  }
  kitDock_->hide();
}

void MainWindow::openRenewDialog() {
  destroyDialog(renewDialog_);
  renewDialog_ = new RenewDialog(this, renewDialogFields(state_));
  connect(renewDialog_.data(), &RenewDialog::buttonPressed, this,
          [this](int id, const RenewFields& fields) {
            run([this, id, fields] { return pressRenewDialogButton(state_, id, fields); });
          });
  placeBeside(*renewDialog_);
  renewDialog_->show();
  syncActions();
}

// The small dialog floats at the main window's right edge, outside it where the screen has room.
void MainWindow::placeBeside(QWidget& dialog) const {
  const QRect frame = frameGeometry();
  const QRect screenArea = screen() != nullptr ? screen()->availableGeometry() : frame;
  int x = frame.right() + 1;
  if (x + dialog.width() > screenArea.right()) {
    x = std::max(screenArea.left(), frame.right() - dialog.width());
  }
  dialog.move(x, frame.top());
}

void MainWindow::focusMainWindow() {
  activateWindow();
  canvas_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::refresh() {
  setWindowTitle(displayText(tarn::windowTitle(state_)));
  statusFields_.value(QStringLiteral("mode"))->setText(displayText(modeText(state_)));
  refreshCursor();
  const Shown now{state_.job.get(), state_.plates.changes, state_.history.revision(),
                  state_.job ? state_.job->params.rotationNumber : 0,
                  state_.job ? state_.job->params.packingPointDistance : 0.0};
  if (!shownOnce_ || !(now == shown_)) {
    // The dialog shows the numbers of the plate on show.
    const bool otherPlate = shownOnce_ && now.job != shown_.job && now.job != nullptr;
    shown_ = now;
    shownOnce_ = true;
    syncPlateTabs();
    if (otherPlate && renewDialog_) {
      renewDialog_->setFields(renewDialogFields(state_));
    }
    const StatusTexts texts = statusTexts(state_);
    const std::pair<const char*, const std::string*> fields[] = {
        {"parts", &texts.parts},
        {"length", &texts.length},
        {"utilisation", &texts.utilisation},
        {"rn", &texts.rotationNumber},
        {"ppd", &texts.packingPointDistance},
    };
    for (const auto& [name, value] : fields) {
      QLabel* label = statusFields_.value(QLatin1String(name));
      label->setText(displayText(*value));
      label->setVisible(!value->empty());
    }
    partsList_->showRows(state_.job ? partRows(*state_.job) : std::vector<PartRow>());
  }
  syncActions();
}

void MainWindow::refreshCursor() {
  statusFields_.value(QStringLiteral("cursor"))->setText(displayText(cursorText(state_)));
}

void MainWindow::syncActions() {
  const bool busy = runs_->busy();
  const struct {
    int id;
    bool checked;
  } checks[] = {
      {kBlackBackground, state_.options.checkedBackgroundItem == kBlackBackground},
      {kWhiteBackground, state_.options.checkedBackgroundItem == kWhiteBackground},
      {kPackingPointsVisible, state_.options.packingPointsVisible},
      {kOffsetPartsVisible, state_.options.offsetPartsVisible},
  };
  for (const auto& check : checks) {
    if (QAction* item = action(check.id)) {
      item->setChecked(check.checked);
    }
  }
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
    it.value()->setEnabled(!(busy && menuCommandChangesJob(it.key())));
  }
  const auto labelled = [](std::string_view command, const std::string& step) {
    QString text = fromText(command);
    return step.empty() ? text : text + QLatin1Char(' ') + displayText(step);
  };
  const UndoOffer undo = undoOffer(state_);
  const UndoOffer redo = redoOffer(state_);
  action(kUndo)->setEnabled(!busy && undo.possible);
  action(kUndo)->setText(labelled(app_text::kUndo, undo.label));
  action(kRedo)->setEnabled(!busy && redo.possible);
  action(kRedo)->setText(labelled(app_text::kRedo, redo.label));
  const std::size_t plates = plateCount(state_);
  action(kNextPlate)->setEnabled(!busy && currentPlate(state_) + 1 < plates);
  action(kPreviousPlate)->setEnabled(!busy && currentPlate(state_) > 0);
  action(kOptimise)->setEnabled(!busy && state_.job != nullptr);
  plateTabs_->setEnabled(!busy);
  recentMenu_->setEnabled(!busy && !recent_.empty());
  if (packingKit_) {
    packingKit_->setJobButtonsEnabled(!busy);
  }
  if (renewDialog_) {
    renewDialog_->setApplyEnabled(!busy);
  }
  partsList_->setEnabled(!busy);
  if (optimiser_) {
    optimiser_->setStartEnabled(!busy && state_.job != nullptr);
  }
}

void MainWindow::loadRecentLibraries() {
  QSettings settings{QLatin1String(kSettingsName), QLatin1String(kSettingsName)};
  const int count = settings.beginReadArray(QLatin1String(kRecentKey));
  recent_.clear();
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    const int format = settings.value(QLatin1String(kRecentFormatKey)).toInt();
    if (format < static_cast<int>(LibraryFormat::TextLibrary) ||
        format > static_cast<int>(LibraryFormat::PreSrcFile)) {
      continue;
    }
    recent_.push_back({settings.value(QLatin1String(kRecentPathKey)).toString().toStdString(),
                       static_cast<LibraryFormat>(format)});
  }
  settings.endArray();
  rebuildRecentMenu();
}

void MainWindow::rememberRecent(const RunRequest& request) {
  rememberLibrary(recent_, {fromPath(request.path).toStdString(), request.format});
  QSettings settings{QLatin1String(kSettingsName), QLatin1String(kSettingsName)};
  settings.beginWriteArray(QLatin1String(kRecentKey), static_cast<int>(recent_.size()));
  for (std::size_t i = 0; i < recent_.size(); ++i) {
    settings.setArrayIndex(static_cast<int>(i));
    settings.setValue(QLatin1String(kRecentPathKey), QString::fromStdString(recent_[i].path));
    settings.setValue(QLatin1String(kRecentFormatKey), static_cast<int>(recent_[i].format));
  }
  settings.endArray();
  rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
  recentMenu_->clear();
  int number = 0;
  for (const RecentLibrary& library : recent_) {
    const QString path = QString::fromStdString(library.path);
    QAction* item = recentMenu_->addAction(
        QStringLiteral("&%1 %2").arg(++number).arg(QFileInfo(path).fileName()));
    item->setToolTip(path);
    item->setStatusTip(path);
    const int command = openCommandOf(library.format);
    connect(item, &QAction::triggered, this, [this, command, path] { openLibrary(command, path); });
  }
  syncActions();
}

}  // namespace tarn::gui
