#pragma once

#include <QDialog>
#include <memory>

#include "app/commands.h"

namespace Ui {
class PackingKitDialog;
class RenewDialog;
}  // namespace Ui

namespace tarn::gui {

// The "Packing Kit 排样工具箱", docked beside the canvas by the main window.
// It holds no state: every button is reported by its id and the main window
// runs the command. Its buttons never take the keyboard focus, so the keys keep
// reaching the canvas, and none is a default button that Return would press.
// Esc acts as button 2.
class PackingKitDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PackingKitDialog(QWidget* owner);
  ~PackingKitDialog() override;

  void reject() override;
  // Disables the buttons that would change the job while a run holds it.
  void setJobButtonsEnabled(bool enabled);

 signals:
  void buttonPressed(int id);

 private:
  std::unique_ptr<Ui::PackingKitDialog> ui_;
};

// The modeless "Renew RN&PPD": two fields and four buttons reported by id with
// the fields' texts. The close box and Esc act as button 2.
class RenewDialog : public QDialog {
  Q_OBJECT

 public:
  RenewDialog(QWidget* owner, const RenewFields& fields);
  ~RenewDialog() override;

  RenewFields fields() const;
  // Shows another plate's numbers (the dialog stays where it is).
  void setFields(const RenewFields& fields);
  void reject() override;
  // Disables the buttons that apply numbers while a run holds the job.
  void setApplyEnabled(bool enabled);

 signals:
  void buttonPressed(int id, const tarn::RenewFields& fields);

 private:
  std::unique_ptr<Ui::RenewDialog> ui_;
};

}  // namespace tarn::gui
