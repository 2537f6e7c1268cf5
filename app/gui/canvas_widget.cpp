#include "app/gui/canvas_widget.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QVector>
#include <QWheelEvent>
#include <exception>
#include <utility>

#include "app/commands.h"
#include "app/gui/main_window.h"
#include "app/painting.h"

namespace tarn::gui {
namespace {

QColor toColor(Rgb rgb) {
  return QColor(rgb.r, rgb.g, rgb.b);
}

QPoint toQPoint(ScreenPoint p) {
  return {p.x, p.y};
}

ScreenPoint toScreenPoint(const QPointF& p) {
  const QPoint rounded = p.toPoint();
  return {rounded.x(), rounded.y()};
}

// The drawing primitives of the paint on a QPainter. Pixels are collected and
// set in one call before anything else is drawn over them.
class PainterCanvas : public Canvas {
 public:
  explicit PainterCanvas(QPainter& painter, QRect area) : painter_(painter), area_(area) {}
  ~PainterCanvas() override { flushPixels(); }
  PainterCanvas(const PainterCanvas&) = delete;
  PainterCanvas& operator=(const PainterCanvas&) = delete;

  void fill(Rgb colour) override {
    flushPixels();
    painter_.fillRect(area_, toColor(colour));
  }

  void line(ScreenPoint from, ScreenPoint to, Rgb colour, int width, bool dashed) override {
    flushPixels();
    QPen pen(toColor(colour));
    pen.setWidth(width);
    pen.setStyle(dashed ? Qt::DashLine : Qt::SolidLine);
    painter_.setPen(pen);
    painter_.drawLine(toQPoint(from), toQPoint(to));
  }

  void pixel(ScreenPoint at, Rgb colour) override {
    if (!pixels_.isEmpty() && colour != pixelColour_) {
      flushPixels();
    }
    pixelColour_ = colour;
    pixels_.append(toQPoint(at));
  }

 private:
  void flushPixels() {
    if (pixels_.isEmpty()) {
      return;
    }
    QPen pen(toColor(pixelColour_));
    pen.setWidth(1);
    painter_.setPen(pen);
    painter_.drawPoints(pixels_.constData(), static_cast<int>(pixels_.size()));
    pixels_.clear();
  }

  QPainter& painter_;
  QRect area_;
  QVector<QPoint> pixels_;
  Rgb pixelColour_;
};

// A mouse message's command, with the point in client pixels and Shift's state.
void runMouseCommand(MainWindow& window, QMouseEvent* event,
                     Effects (*command)(AppState&, ScreenPoint, bool)) {
  const ScreenPoint point = toScreenPoint(event->position());
  const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
  AppState& state = window.state();
  window.run([&state, point, shift, command] { return command(state, point, shift); });
}

constexpr std::pair<int, ArrowKey> kArrowKeys[] = {
    {Qt::Key_Left, ArrowKey::Left},
    {Qt::Key_Right, ArrowKey::Right},
    {Qt::Key_Up, ArrowKey::Up},
    {Qt::Key_Down, ArrowKey::Down},
};

}  // namespace

CanvasWidget::CanvasWidget(MainWindow& window) : QWidget(&window), window_(window) {
  setObjectName(QStringLiteral("canvas"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  // The back buffer covers every pixel, so Qt need not clear the widget first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CanvasWidget::paintEvent(QPaintEvent*) {
  QImage buffer(size(), QImage::Format_RGB32);
  {
    QPainter painter(&buffer);
    PainterCanvas canvas(painter, buffer.rect());
    try {
      paintState(window_.state(), canvas);
    } catch (const std::exception&) {
      // A paint has nobody to report to; what was drawn so far is shown.
    }
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void CanvasWidget::resizeEvent(QResizeEvent*) {
  const int w = width();
  const int h = height();
  window_.run([this, w, h] { return resizeClient(window_.state(), w, h); });
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
  event->accept();
  const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
  AppState& state = window_.state();
  for (const auto& [qtKey, arrow] : kArrowKeys) {
    if (event->key() == qtKey) {
      const ArrowKey key = arrow;
      window_.run([&state, key] { return pressArrowKey(state, key); });
      return;
    }
  }
  if (event->key() == Qt::Key_Escape) {
    window_.run([&state] { return typeCharacter(state, kEscapeCharacter, false); });
    return;
  }
  const QString text = event->text();
  if (text.isEmpty()) {
    return;
  }
  const char32_t character = text.toUcs4().value(0);
  window_.run([&state, character, shift] { return typeCharacter(state, character, shift); });
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton) {
    runMouseCommand(window_, event, pressLeftButton);
  }
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  runMouseCommand(window_, event, moveMouse);
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
  event->accept();
  const int delta = event->angleDelta().y();
  // Only the vertical wheel zooms and rotates.
  if (delta == 0) {
    return;
  }
  const ScreenPoint point = toScreenPoint(event->position());
  AppState& state = window_.state();
  window_.run([&state, point, delta] { return turnWheel(state, point, delta); });
}

}  // namespace tarn::gui
