#pragma once

#include <QWidget>

namespace tarn::gui {

class MainWindow;

// The client area of the main window: paints the state through a back buffer
// and hands keys, clicks, drags and the wheel to the window's commands.
class CanvasWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CanvasWidget(MainWindow& window);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  MainWindow& window_;
};

}  // namespace tarn::gui
