#pragma once

#include <QDialog>
#include <memory>

#include "app/commands.h"

namespace Ui {
class PackingKitDialog;
class RenewDialog;
}  // namespace Ui

namespace tarn::gui {

// The modeless "Packing Kit 排样工具箱". It holds no state: every button is
// reported by its id and the main window runs the command. The close box and
// Esc act as button 2.
class PackingKitDialog : public QDialog {
  Q_OBJECT

 public:
  explicit PackingKitDialog(QWidget* owner);
  ~PackingKitDialog() override;

  void reject() override;

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
  void reject() override;

 signals:
  void buttonPressed(int id, const tarn::RenewFields& fields);

 private:
  std::unique_ptr<Ui::RenewDialog> ui_;
};

}  // namespace tarn::gui
