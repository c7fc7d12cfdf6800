#pragma once
// What the end-to-end tests read from the screen: the board as the game draws it, found by
// comparing each 16 x 16 cell with the ball pictures, and the moves they play.
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>

#include "game/Board.h"
#include "game/Turn.h"

// The ball pictures in `directory`, indexed by cell code: empty, yellow, blue, brown. Loaded on
// the first call; later calls return the same pictures.
const std::array<QImage, 4>& ballPictures(const QString& directory);

// The board drawn with its top left corner at `origin`, or nothing while any cell shows
// something other than one of the pictures.
std::optional<pelorin::Grid> boardAt(const QImage& image, QPoint origin,
                                     const std::array<QImage, 4>& pictures);

// One line of letters a row: '.' empty, 'Y' yellow, 'B' blue, 'H' brown.
QString describeBoard(const std::optional<pelorin::Grid>& board);

// The cell whose removal takes the most balls; a move that ends the game only if `mayEndGame`.
std::optional<pelorin::Cell> biggestGroup(const pelorin::GameState& game, bool mayEndGame);
