#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <clocale>
#include <filesystem>
#include <system_error>

#include "app/app_texts.h"
#include "app/gui/display_text.h"
#include "app/gui/main_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // Qt adopts the user's locale; the readers and writers need the C number format.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("TarnPacking"));
  QApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));

  // tarnpacking [LIBRARY]
  QCommandLineParser parser;
  parser.setApplicationDescription(tarn::gui::displayText(tarn::app_text::kCommandLineDescription));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("LIBRARY"),
                               tarn::gui::displayText(tarn::app_text::kCommandLineLibrary),
                               QStringLiteral("[LIBRARY]"));
  parser.process(app);

  tarn::gui::MainWindow window;
  // The files of every job go where the program was started, as they always
  // have; a start folder that is gone leaves the names relative.
  std::error_code noFolder;
  window.state().outputFolder = std::filesystem::current_path(noFolder);
  tarn::gui::installMessageBoxNoticeHook(&window);
  // Four fifths of the screen, whatever the canvas asks for: room for the
  // canvas between the parts list and the Packing Kit.
  if (const QScreen* screen = window.screen()) {
    window.resize(screen->availableGeometry().size() * 4 / 5);
  }
  window.show();
  if (const QStringList libraries = parser.positionalArguments(); !libraries.isEmpty()) {
    // Once the window is up, so that the view fits the size it shows.
    QTimer::singleShot(
        0, &window, [&window, library = libraries.constFirst()] { window.openDetected(library); });
  }
  return QApplication::exec();
}
