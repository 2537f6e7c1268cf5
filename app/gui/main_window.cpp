#include "app/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iterator>

#include "app/gui/canvas_widget.h"
#include "app/gui/display_text.h"
#include "app/gui/tool_dialogs.h"
#include "geometry/texts.h"

// Outside any namespace, as the resource system requires.
static void initialiseResources() {
  Q_INIT_RESOURCE(tarnpacking);
}

namespace tarn::gui {
namespace {

constexpr char kWindowClassName[] = "TarnPacking";

struct MenuItem {
  int id;
  const char* text;
};

// The wait cursor for as long as a layout runs.
class WaitCursor {
 public:
  explicit WaitCursor(bool active) : active_(active) {
    if (active_) {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
  }
  ~WaitCursor() {
    if (active_) {
      QGuiApplication::restoreOverrideCursor();
    }
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool active_;
};

std::filesystem::path toPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
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
  const char* title;
  const char* filter;
  const char* suffix;
  bool save;
};

constexpr FileDialogSetup kFileDialogs[] = {
    {FileRequest::OpenTextLibrary, "Open File of Parts ", "Text Files (*.txt)", "txt", false},
    {FileRequest::OpenPreSrc, "Read Velmar File", "Text Files (*.preSrc)", "preSrc", false},
    {FileRequest::SaveLayoutDxf, "Write DXF File of Layout", "Text Files (*.DXF)", "dxf", true},
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
  dialog.setWindowTitle(QString::fromUtf8(setup->title));
  dialog.setNameFilter(QString::fromUtf8(setup->filter));
  dialog.setDefaultSuffix(QString::fromUtf8(setup->suffix));
  dialog.setAcceptMode(setup->save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(setup->save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return {};
  }
  return dialog.selectedFiles().constFirst();
}

}  // namespace

ShellHooks defaultShellHooks(QWidget* owner) {
  ShellHooks hooks;
  hooks.showError = [owner](const QString& message) {
    QMessageBox::warning(owner, displayText(text::kWarningCaption), message);
  };
  hooks.chooseFile = [owner](FileRequest request, const QString& lastPath) {
    return chooseFileWithDialog(owner, request, lastPath);
  };
  hooks.showReport = [](const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  };
  return hooks;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), hooks_(defaultShellHooks(this)) {
  initialiseResources();
  setObjectName(QLatin1String(kWindowClassName));
  setWindowTitle(QStringLiteral("TarnPacking"));
  setWindowIcon(QIcon(QStringLiteral(":/tarnpacking.png")));
  canvas_ = new CanvasWidget(*this);
  setCentralWidget(canvas_);
  buildMenus();
  syncChecks();
  canvas_->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
  // The tool dialogs go with the window, so the event loop ends with it.
  destroyDialog(packingKit_);
  destroyDialog(renewDialog_);
  QMainWindow::closeEvent(event);
}

PackingKitDialog* MainWindow::packingKit() const {
  return packingKit_.data();
}

RenewDialog* MainWindow::renewDialog() const {
  return renewDialog_.data();
}

void MainWindow::buildMenus() {
  struct Menu {
    const char* title;
    std::vector<MenuItem> items;  // id 0: a separator
  };
  const Menu menus[] = {
      {"File",
       {{kOpenTextLibrary, "OpenLibIn&Txt"},
        {kOpenPartListFile, "OpenLibIn&Dxf"},
        {kOpenPreSrcFile, "OpenLibIn&Velmar"},
        {0, nullptr},
        {kLayoutInDxf, "LayoutIn&Dxf"},
        {kExportParts, "ExportParts(*.dxf)"}}},
      {"Layout", {{kShowPackingKit, "Packing Kit"}, {kShowRenewDialog, "&Renew_RN_PPD"}}},
      {"View",
       {{kBlackBackground, "&Black Background"},
        {kWhiteBackground, "&White Background"},
        {kPackingPointsVisible, "PPT_Visible"},
        {kOffsetPartsVisible, "OffsetedPartVisible"}}},
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
      } else {
        connect(action, &QAction::triggered, this,
                [this, id] { run([this, id] { return runMenuCommand(state_, id); }); });
      }
      actions_.insert(id, action);
    }
  }
}

void MainWindow::run(const std::function<Effects()>& command, bool showsWaitCursor) {
  try {
    Effects effects;
    {
      WaitCursor wait(showsWaitCursor);
      effects = command();
    }
    apply(effects);
  } catch (const std::exception& e) {
    // A CoreError, or one not of ours (a full disk, no memory): shown, the job kept.
    hooks_.showError(displayText(e.what()));
  }
  syncChecks();
}

void MainWindow::openLibrary(int menuId, const QString& path) {
  run([this, menuId, path] {
    apply(runMenuCommand(state_, menuId), path);
    return Effects{};
  });
}

void MainWindow::apply(const Effects& effects, const QString& presetPath) {
  closeDialogs(effects);
  if (effects.fileRequest != FileRequest::None) {
    handleFileRequest(effects, presetPath);
  }
  if (effects.openPackingKit) {
    openPackingKit();
  }
  if (effects.openRenewDialog) {
    openRenewDialog();
  }
  if (effects.focusMainWindow) {
    focusMainWindow();
  }
  if (effects.repaint) {
    canvas_->update();
  }
  if (effects.showReport) {
    hooks_.showReport(
        QDir::current().absoluteFilePath(QFile::decodeName(reportFile(state_).c_str())));
  }
}

// Asks for the file (unless the caller gave one) and runs the command that needed it.
void MainWindow::handleFileRequest(const Effects& effects, const QString& presetPath) {
  const QString lastPath = QString::fromStdString(state_.lastPath);
  const QString chosen =
      presetPath.isEmpty() ? hooks_.chooseFile(effects.fileRequest, lastPath) : presetPath;
  if (chosen.isEmpty()) {
    return;
  }
  state_.lastPath = chosen.toStdString();
  Effects next;
  {
    WaitCursor wait(true);
    if (effects.fileRequest == FileRequest::SaveLayoutDxf) {
      next = writeLayoutFile(state_, toPath(chosen));
    } else {
      next = openLibraryFile(state_, toPath(chosen), effects.openFormat);
    }
  }
  apply(next);
}

void MainWindow::closeDialogs(const Effects& effects) {
  if (effects.closePackingKit) {
    destroyDialog(packingKit_);
  }
  if (effects.closeRenewDialog) {
    destroyDialog(renewDialog_);
  }
}

void MainWindow::openPackingKit() {
  destroyDialog(packingKit_);
  packingKit_ = new PackingKitDialog(this);
  connect(packingKit_.data(), &PackingKitDialog::buttonPressed, this, [this](int id) {
    run([this, id] { return pressPackingKitButton(state_, id); }, packingKitButtonRunsLayout(id));
  });
  placeBeside(*packingKit_);
  packingKit_->show();
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
}

// Tool windows float at the main window's right edge, outside it where the screen has room.
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

void MainWindow::syncChecks() {
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
}

}  // namespace tarn::gui
