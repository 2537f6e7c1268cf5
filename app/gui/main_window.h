#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QString>
#include <functional>

#include "app/app_state.h"
#include "app/commands.h"

class QAction;

namespace tarn::gui {

class CanvasWidget;
class PackingKitDialog;
class RenewDialog;

// What the window asks of the desktop. The defaults show Qt dialogs and boxes
// and hand the report to the desktop's text editor; tests record instead.
struct ShellHooks {
  std::function<void(const QString& message)> showError;  // the runner's "Warning!" box
  // The chosen path, or an empty string when the user cancelled.
  std::function<QString(FileRequest request, const QString& lastPath)> chooseFile;
  std::function<void(const QString& path)> showReport;
};

ShellHooks defaultShellHooks(QWidget* owner);

// The one top-level window "TarnPacking": menus, the canvas and the two tool
// dialogs. Every command runs through run(), so no core error reaches Qt's loop.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  AppState& state() { return state_; }
  CanvasWidget* canvas() const { return canvas_; }
  PackingKitDialog* packingKit() const;
  RenewDialog* renewDialog() const;
  // The menu item of a command id, or nullptr.
  QAction* action(int id) const { return actions_.value(id, nullptr); }
  void setHooks(ShellHooks hooks) { hooks_ = std::move(hooks); }

  // Runs a command, then does what it asks. A CoreError is shown and the
  // state keeps what it had; `showsWaitCursor` for the layout commands.
  void run(const std::function<Effects()>& command, bool showsWaitCursor = false);
  // The three Open commands; with a path given the file dialog is not shown.
  void openLibrary(int menuId, const QString& path = {});

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void placeBeside(QWidget& dialog) const;
  void buildMenus();
  void apply(const Effects& effects, const QString& presetPath = {});
  void handleFileRequest(const Effects& effects, const QString& presetPath);
  void closeDialogs(const Effects& effects);
  void openPackingKit();
  void openRenewDialog();
  void focusMainWindow();
  void syncChecks();

  AppState state_;
  ShellHooks hooks_;
  CanvasWidget* canvas_ = nullptr;
  QPointer<PackingKitDialog> packingKit_;
  QPointer<RenewDialog> renewDialog_;
  QMap<int, QAction*> actions_;
};

}  // namespace tarn::gui
