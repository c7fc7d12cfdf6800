#pragma once
// What the end-to-end tests read from the screen: the board as the game draws it, found by
// comparing each 16 x 16 cell with the ball pictures, and the moves they play.
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Turn.h"

// The ball pictures in `directory`, indexed by cell code: empty, yellow, blue, brown. Loaded on
// the first call; later calls return the same pictures.
const std::array<QImage, 4>& ballPictures(const QString& directory);

// The board drawn with its top left corner at `origin`, or nothing while any cell shows
// something other than one of the pictures.
std::optional<pelorin::Grid> boardAt(const QImage& image, QPoint origin,
                                     const std::array<QImage, 4>& pictures);

// Where in `image` a full board (one with no empty cell) is drawn, found by searching: the
// top left corner of its first cell, or nothing.
std::optional<QPoint> findFullBoard(const QImage& image, const std::array<QImage, 4>& pictures);

// One line of letters a row: '.' empty, 'Y' yellow, 'B' blue, 'H' brown.
QString describeBoard(const std::optional<pelorin::Grid>& board);

// The cell whose removal takes the most balls; a move that ends the game only if `mayEndGame`.
std::optional<pelorin::Cell> biggestGroup(const pelorin::GameState& game, bool mayEndGame);

// The first and the last device pixel that show cell `index` along one axis at `scale`: a
// device pixel shows the bitmap pixel under its top-left corner.
int firstDevicePixel(int index, double scale);
int lastDevicePixel(int index, double scale);

// Releases on the edge pixels of cells at `scale`, played on `game` as they go: one cell of
// every row on the full board by the row's last (or, with `firstPixel`, first) device pixel,
// then one cell of as many columns as can be by theirs. Each cell is one whose neighbour
// across that edge would give another board. `release` releases on a device pixel of the
// board and reports whether the screen then shows `game`'s board. Returns how many rows and
// columns were played, or a message for the first release that failed.
struct EdgeReleases {
  int rows = 0;
  int columns = 0;
  std::string failure;
};
EdgeReleases playEdgeReleases(pelorin::GameState& game, double scale, bool firstPixel,
                              const std::function<bool(QPoint device)>& release);
