#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/job_runs.h"
#include "app/optimise_run.h"
#include "app/status.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QScrollArea;
class QTabBar;

namespace tarn::gui {

class CanvasWidget;
class DrawingsDialog;
class OptimiseWindow;
class PackingKitDialog;
class PartsList;
class RenewDialog;
class RunController;

// What the window asks of the desktop. The defaults show Qt dialogs and boxes
// and hand the report to the desktop's text editor; tests record instead.
struct ShellHooks {
  std::function<void(const QString& message)> showError;    // the runner's "Warning!" box
  std::function<void(const QString& message)> showMessage;  // an information box
  // The chosen path, or an empty string when the user cancelled.
  std::function<QString(FileRequest request, const QString& lastPath)> chooseFile;
  // "Open Drawings…": the chosen drawings, none when the user cancelled.
  std::function<QStringList(const QString& lastPath)> chooseDrawings;
  // False when no program could be started to show the file.
  std::function<bool(const QString& path)> showReport;
};

ShellHooks defaultShellHooks(QWidget* owner);

// The one top-level window "TarnPacking": menus, the canvas, the docked
// Packing Kit and parts list, the status bar and the "Renew RN&PPD" dialog.
// Every command runs through run(), so no core error reaches Qt's loop. Open
// and the layouts run on a worker (runs()); until one has ended, the commands
// that would change the job are disabled and refused.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() { return state_; }
  CanvasWidget* canvas() const { return canvas_; }
  // One tab per plate above the canvas; hidden while the job has one plate.
  QTabBar* plateTabs() const { return plateTabs_; }
  PackingKitDialog* packingKit() const;
  QDockWidget* packingKitDock() const { return kitDock_; }
  RenewDialog* renewDialog() const;
  PartsList* partsList() const { return partsList_; }
  RunController& runs() const { return *runs_; }
  // The menu item of a command id, or nullptr.
  QAction* action(int id) const { return actions_.value(id, nullptr); }
  QMenu* recentMenu() const { return recentMenu_; }
  // A status bar field by name: cursor, mode, parts, length, utilisation, rn, ppd.
  QLabel* statusField(const QString& name) const;
  void setHooks(ShellHooks hooks) { hooks_ = std::move(hooks); }

  // Runs a command, then does what it asks. A CoreError is shown and the
  // state keeps what it had.
  void run(const std::function<Effects()>& command);
  // The three Open commands; with a path given the file dialog is not shown.
  void openLibrary(int menuId, const QString& path = {});
  // "Open Drawings…"; with paths given the file dialog is not shown. The
  // drawings dialog then asks for the plate, gap and counts (drawingsDialog()).
  void openDrawings(const QStringList& paths = {});
  // The drawings dialog while it is shown, else nullptr.
  DrawingsDialog* drawingsDialog() const;
  // The window of "Layout > Optimise…" while it exists, else nullptr.
  OptimiseWindow* optimiser() const;
  // Opens a file whose format nobody named (the command line, a drop, a
  // relative path from the working directory), told as tarnpack tells it.
  void openDetected(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildMenus();
  void buildDocks();
  void buildStatusBar();
  void buildPlateTabs();
  void syncPlateTabs();
  // `presetPaths`: the files a file request is answered with, without asking.
  void apply(const Effects& effects, const QStringList& presetPaths = {});
  void handleFileRequest(const Effects& effects, const QStringList& presetPaths);
  void showDrawingsDialog(const QStringList& paths);
  void startRun(const RunRequest& request);
  void openOptimiser();
  void startOptimise(const SearchSettings& settings);
  void finishOptimiseHere(OptimiseOutcome outcome);
  // Brings the search's newest figures and best layout to the window and canvas.
  void pullSearch();
  void finishRunHere(const RunRequest& request, RunResult result);
  void closeDialogs(const Effects& effects);
  void openPackingKit();
  void destroyPackingKit();
  void openRenewDialog();
  void placeBeside(QWidget& dialog) const;
  void focusMainWindow();
  // Title, status bar, parts list, menu checks and enabled commands from the state.
  void refresh();
  void refreshCursor();
  void syncActions();
  void loadRecentLibraries();
  void rememberRecent(const RunRequest& request);
  void rebuildRecentMenu();

  AppState state_;
  ShellHooks hooks_;
  CanvasWidget* canvas_ = nullptr;
  QTabBar* plateTabs_ = nullptr;
  RunController* runs_ = nullptr;
  QDockWidget* kitDock_ = nullptr;
  QScrollArea* kitArea_ = nullptr;
  QPointer<PackingKitDialog> packingKit_;
  QPointer<RenewDialog> renewDialog_;
  QPointer<DrawingsDialog> drawingsDialog_;
  QPointer<OptimiseWindow> optimiser_;
  std::shared_ptr<SearchWatch> searchWatch_;  // while a search runs
  QDockWidget* partsDock_ = nullptr;
  PartsList* partsList_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QMap<int, QAction*> actions_;
  QMap<QString, QLabel*> statusFields_;
  std::vector<RecentLibrary> recent_;
  // What the figures and the list were last computed from; they are computed
  // again only when it changes.
  struct Shown {
    const PackingJob* job = nullptr;
    std::size_t plateChanges = 0;
    std::size_t revision = 0;
    int rotationNumber = 0;
    double packingPointDistance = 0.0;
    bool operator==(const Shown&) const = default;
  };
  Shown shown_;
  bool shownOnce_ = false;
};

}  // namespace tarn::gui
