#include "app/gui/tool_dialogs.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "app/gui/dialog_units.h"
#include "ui_packing_kit.h"
#include "ui_renew_rn_ppd.h"

namespace tarn::gui {
namespace {

constexpr char kButtonPrefix[] = "button_";

// The ids live in the object names ("button_1009"), as in the dialog files.
template <class Visit>
void forEachButton(QDialog& dialog, Visit visit) {
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    const QString name = button->objectName();
    if (!name.startsWith(QLatin1String(kButtonPrefix))) {
      continue;
    }
    bool ok = false;
    const int id = name.mid(static_cast<int>(sizeof kButtonPrefix) - 1).toInt(&ok);
    if (ok) {
      visit(*button, id);
    }
  }
}

template <class Report>
void connectButtons(QDialog& dialog, Report report) {
  forEachButton(dialog, [&dialog, report](QPushButton& button, int id) {
    QObject::connect(&button, &QPushButton::clicked, &dialog, [report, id] { report(id); });
  });
}

constexpr int kButtonTextMargin = 8;  // pixels the button frame keeps free around its text

// Multi-line buttons wrap a line that is wider than the button at its blanks.
void wrapButtonText(QPushButton& button) {
  const QFontMetrics metrics(button.font());
  const int available = button.width() - kButtonTextMargin;
  QStringList lines;
  for (const QString& line : button.text().split(QLatin1Char('\n'))) {
    QString current;
    for (const QString& word : line.split(QLatin1Char(' '))) {
      const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
      if (!current.isEmpty() && metrics.horizontalAdvance(candidate) > available) {
        lines.append(current);
        current = word;
      } else {
        current = candidate;
      }
    }
    lines.append(current);
  }
  button.setText(lines.join(QLatin1Char('\n')));
}

void makeModelessTool(QDialog& dialog) {
  dialog.setModal(false);
  dialog.setAttribute(Qt::WA_DeleteOnClose, false);
  layoutFromDialogUnits(dialog);
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    wrapButtonText(*button);
  }
}

}  // namespace

PackingKitDialog::PackingKitDialog(QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::PackingKitDialog>()) {
  ui_->setupUi(this);
  makeModelessTool(*this);
  // A child widget of the dock, not a window of its own.
  setWindowFlags(Qt::Widget);
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  connectButtons(*this, [this](int id) { emit buttonPressed(id); });
}

void PackingKitDialog::setJobButtonsEnabled(bool enabled) {
  forEachButton(*this, [enabled](QPushButton& button, int id) {
    if (packingKitButtonChangesJob(id)) {
      button.setEnabled(enabled);
    }
  });
}

PackingKitDialog::~PackingKitDialog() = default;

void PackingKitDialog::reject() {
  emit buttonPressed(kKitCancel);
}

RenewDialog::RenewDialog(QWidget* owner, const RenewFields& fields)
    : QDialog(owner), ui_(std::make_unique<Ui::RenewDialog>()) {
  ui_->setupUi(this);
  makeModelessTool(*this);
  setFields(fields);
  connectButtons(*this, [this](int id) { emit buttonPressed(id, this->fields()); });
}

RenewDialog::~RenewDialog() = default;

void RenewDialog::setApplyEnabled(bool enabled) {
  forEachButton(*this, [enabled](QPushButton& button, int id) {
    if (id != kRenewCancel) {
      button.setEnabled(enabled);
    }
  });
}

void RenewDialog::setFields(const RenewFields& fields) {
  ui_->field_1001->setText(QString::fromStdString(fields.rotationNumber));
  ui_->field_1002->setText(QString::fromStdString(fields.packingPointDistance));
}

RenewFields RenewDialog::fields() const {
  return {ui_->field_1001->text().toStdString(), ui_->field_1002->text().toStdString()};
}

void RenewDialog::reject() {
  emit buttonPressed(kRenewCancel, fields());
}

}  // namespace tarn::gui
