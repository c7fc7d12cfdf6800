#include "ui/BoardView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

using namespace pelorin;

BoardView::BoardView(QWidget* parent)
    : QWidget(parent), bitmap_(kColumns * kCellPixels, kRows * kCellPixels, QImage::Format_RGB32) {
  bitmap_.fill(Qt::white);
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted from the bitmap
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

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  // Floor, not round: a fractional position belongs to the pixel it lies in.
  const QPointF position = event->position();
  Q_EMIT mouseUp(event->button(), event->modifiers(), static_cast<int>(std::floor(position.x())),
                 static_cast<int>(std::floor(position.y())));
}
