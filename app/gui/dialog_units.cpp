#include "app/gui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QVariant>
#include <QWidget>

namespace tarn::gui {
namespace {

constexpr char kDialogUnitsProperty[] = "dialogUnits";

// Rounded a * b / c.
int mulDiv(int a, int b, int c) {
  return (a * b + c / 2) / c;
}

QRect toPixels(const QRect& units, BaseUnits base) {
  return {mulDiv(units.x(), base.x, 4), mulDiv(units.y(), base.y, 8),
          mulDiv(units.width(), base.x, 4), mulDiv(units.height(), base.y, 8)};
}

}  // namespace

BaseUnits baseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(alphabet / 26 + 1) / 2, metrics.height()};
}

void layoutFromDialogUnits(QWidget& dialog) {
  const BaseUnits base = baseUnitsOf(dialog.font());
  for (QWidget* child : dialog.findChildren<QWidget*>()) {
    const QVariant units = child->property(kDialogUnitsProperty);
    if (units.isValid()) {
      child->setGeometry(toPixels(units.toRect(), base));
    }
  }
  const QVariant own = dialog.property(kDialogUnitsProperty);
  if (own.isValid()) {
    dialog.setFixedSize(toPixels(own.toRect(), base).size());
  }
}

}  // namespace tarn::gui
