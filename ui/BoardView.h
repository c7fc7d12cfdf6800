#pragma once

#include <QImage>
#include <QWidget>
#include <array>

#include "game/Board.h"

// The board image: a 400 x 144 bitmap of 16 x 16 cell pictures, painted unscaled and
// unsmoothed, that reports every mouse-button release with its pixel position.
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

 private:
  QImage bitmap_;
};
