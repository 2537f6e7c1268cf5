#include <QApplication>
#include <clocale>

#include "app/gui/display_text.h"
#include "app/gui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Qt adopts the user's locale; the readers and writers need the C number format.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("TarnPacking"));
  tarn::gui::MainWindow window;
  tarn::gui::installMessageBoxNoticeHook(&window);
  window.show();
  return QApplication::exec();
}
