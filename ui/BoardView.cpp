#include "ui/BoardView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

using namespace pelorin;

BoardView::BoardView(QWidget* parent)
    : QWidget(parent), bitmap_(kColumns * kCellPixels, kRows * kCellPixels, QImage::Format_RGB32) {
  bitmap_.fill(Qt::white);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted from the bitmap
  // Qt picks the widget under a release by the position rounded to whole logical pixels: at
  // a scale above 1 the last device pixels of the right and bottom cells go to the parent.
  if (parent) parent->installEventFilter(this);
}

void BoardView::drawBoard(const Grid& board, const Pictures& pictures) {
  QPainter painter(&bitmap_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      const std::uint8_t code = board[cellIndex(x, y)];
      if (code >= pictures.size()) continue;  // not a cell code: leave the cell as it was
      painter.drawImage(x * kCellPixels, y * kCellPixels, pictures[code]);
    }
  }
  update();
}

void BoardView::paintEvent(QPaintEvent*) {
  // Nearest-neighbour scaling keeps the pixel art crisp on screens with a device pixel
  // ratio above 1; the bitmap always covers the whole widget.
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(rect(), bitmap_);
}

int bitmapPixelAt(double windowPosition, double widgetOrigin, double devicePixelRatio) {
  // The device pixel under the pointer; the small allowance absorbs the error of the
  // division by the ratio that made the logical position (23 / 1.5 * 1.5 < 23).
  const double devicePixel = std::floor(windowPosition * devicePixelRatio + 1.0 / 1024);
  // The painter fills a device pixel from the bitmap pixel under its top-left corner.
  return static_cast<int>(std::floor(devicePixel / devicePixelRatio - widgetOrigin + 1.0 / 65536));
}

QPoint BoardView::bitmapPixelUnder(const QMouseEvent& event) const {
  // The window-relative position keeps the fraction that a scale above 1 gives.
  const QPointF inWindow = event.scenePosition();
  const QPoint origin = mapTo(window(), QPoint(0, 0));
  const double ratio = devicePixelRatioF();
  return {bitmapPixelAt(inWindow.x(), origin.x(), ratio),
          bitmapPixelAt(inWindow.y(), origin.y(), ratio)};
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pixel = bitmapPixelUnder(*event);
  Q_EMIT mouseUp(event->button(), event->modifiers(), pixel.x(), pixel.y());
}

bool BoardView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pixel = bitmapPixelUnder(*mouse);
    // Only what rounding took from the board; anything else is the parent's own release.
    if (bitmap_.rect().contains(pixel)) {
      Q_EMIT mouseUp(mouse->button(), mouse->modifiers(), pixel.x(), pixel.y());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
