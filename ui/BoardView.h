#pragma once

#include <QImage>
#include <QWidget>
#include <array>

#include "game/Board.h"

// The bitmap pixel under a pointer at `windowPosition` (logical, relative to the window)
// when the board's top-left corner stands at `widgetOrigin` in the same window and the
// screen has `devicePixelRatio` device pixels to a logical one: the pixel whose picture
// the screen shows at the pointer's device pixel.
int bitmapPixelAt(double windowPosition, double widgetOrigin, double devicePixelRatio);

// The board image: a 400 x 144 bitmap of 16 x 16 cell pictures, painted unsmoothed, that
// reports every mouse-button release with the bitmap pixel under it.
class BoardView : public QWidget {
  Q_OBJECT

 public:
  // Indexed by cell code: empty, yellow, blue, brown.
  using Pictures = std::array<QImage, 4>;

  explicit BoardView(QWidget* parent = nullptr);

  // Copies the picture of every cell opaquely into the bitmap and schedules a repaint.
  void drawBoard(const pelorin::Grid& board, const Pictures& pictures);
  const QImage& bitmap() const { return bitmap_; }

 Q_SIGNALS:
  void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPoint bitmapPixelUnder(const QMouseEvent& event) const;

  QImage bitmap_;
};
