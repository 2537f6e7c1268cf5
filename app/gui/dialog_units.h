#pragma once

class QFont;
class QWidget;

namespace tarn::gui {

// Average character width and height of a font, as dialog layouts measure them.
struct BaseUnits {
  int x = 0;
  int y = 0;
};

BaseUnits baseUnitsOf(const QFont& font);

// Lays out the dialog and every child that carries a "dialogUnits" rectangle
// (dialog units: x * base x / 4, y * base y / 8) with the base units of the
// dialog's font. The dialog's own rectangle gives its fixed client size.
void layoutFromDialogUnits(QWidget& dialog);

}  // namespace tarn::gui
