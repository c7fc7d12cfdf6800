#include "tests/e2e/screen_board.h"

#include <QtMath>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

const std::array<QImage, 4>& ballPictures(const QString& directory) {
  static const std::array<QImage, 4> loaded = [&] {
    std::array<QImage, 4> images;
    const char* names[] = {"prazdna", "zluta", "modra", "hneda"};
    for (std::size_t code = 0; code < images.size(); ++code) {
      images[code] =
          QImage(directory + "/" + names[code] + ".bmp").convertToFormat(QImage::Format_RGB32);
    }
    return images;
  }();
  return loaded;
}

std::optional<pelorin::Grid> boardAt(const QImage& image, QPoint origin,
                                     const std::array<QImage, 4>& pictures) {
  using pelorin::kCellPixels;
  pelorin::Grid board{};
  for (int y = 0; y < pelorin::kRows; ++y) {
    for (int x = 0; x < pelorin::kColumns; ++x) {
      const QImage cell = image.copy(origin.x() + x * kCellPixels, origin.y() + y * kCellPixels,
                                     kCellPixels, kCellPixels);
      std::size_t code = 0;
      while (code < pictures.size() && cell != pictures[code]) ++code;
      if (code == pictures.size()) return std::nullopt;
      board[pelorin::cellIndex(x, y)] = static_cast<std::uint8_t>(code);
    }
  }
  return board;
}

std::optional<QPoint> findFullBoard(const QImage& image, const std::array<QImage, 4>& pictures) {
  using pelorin::kCellPixels;
  // A cell's middle row crosses its ball, so few places match it: only they are read in full.
  const int middle = kCellPixels / 2;
  const auto rowBytes = static_cast<std::size_t>(kCellPixels) * sizeof(QRgb);
  for (int y = 0; y + pelorin::kRows * kCellPixels <= image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y + middle));
    for (int x = 0; x + pelorin::kColumns * kCellPixels <= image.width(); ++x) {
      for (std::size_t code = 1; code < pictures.size(); ++code) {
        if (std::memcmp(row + x, pictures[code].constScanLine(middle), rowBytes) != 0) continue;
        const std::optional<pelorin::Grid> board = boardAt(image, {x, y}, pictures);
        if (board && std::find(board->begin(), board->end(), 0) == board->end())
          return QPoint(x, y);
        break;
      }
    }
  }
  return std::nullopt;
}

QString describeBoard(const std::optional<pelorin::Grid>& board) {
  if (!board) return QStringLiteral("(not a board)\n");
  QString text;
  for (int y = 0; y < pelorin::kRows; ++y) {
    for (int x = 0; x < pelorin::kColumns; ++x)
      text += QChar(".YBH"[(*board)[pelorin::cellIndex(x, y)]]);
    text += '\n';
  }
  return text;
}

std::optional<pelorin::Cell> biggestGroup(const pelorin::GameState& game, bool mayEndGame) {
  std::optional<pelorin::Cell> best;
  int bestSize = 1;
  for (int y = 0; y < pelorin::kRows; ++y) {
    for (int x = 0; x < pelorin::kColumns; ++x) {
      pelorin::GameState trial = game;
      const pelorin::TurnResult result = pelorin::playTurn(trial, {x, y});
      if (result.groupSize > bestSize && (mayEndGame || !result.gameOver)) {
        best = pelorin::Cell{x, y};
        bestSize = result.groupSize;
      }
    }
  }
  return best;
}

int firstDevicePixel(int index, double scale) {
  return qCeil(pelorin::kCellPixels * index * scale);
}
int lastDevicePixel(int index, double scale) { return firstDevicePixel(index + 1, scale) - 1; }

namespace {

// The cell to play among `candidates`: a group of two or more that the game survives, whose
// neighbour `off` cells away gives another board (so that a misread shows), smallest first so
// that the board lasts.
std::optional<pelorin::Cell> edgeTestCell(const pelorin::GameState& game,
                                          const std::vector<pelorin::Cell>& candidates,
                                          pelorin::Cell off) {
  std::optional<pelorin::Cell> chosen;
  int chosenSize = 0;
  for (const pelorin::Cell cell : candidates) {
    pelorin::GameState trial = game;
    const pelorin::TurnResult result = pelorin::playTurn(trial, cell);
    if (result.groupSize < 2 || result.gameOver) continue;
    if (chosen && result.groupSize >= chosenSize) continue;
    pelorin::GameState misread = game;
    pelorin::playTurn(misread, {cell.x + off.x, cell.y + off.y});
    if (misread.board == trial.board) continue;
    chosen = cell;
    chosenSize = result.groupSize;
  }
  return chosen;
}

}  // namespace

EdgeReleases playEdgeReleases(pelorin::GameState& game, double scale, bool firstPixel,
                              const std::function<bool(QPoint device)>& release) {
  using pelorin::Cell;
  const int step = firstPixel ? -1 : 1;  // where a release read one cell off would land
  auto edge = [&](int index) {
    return firstPixel ? firstDevicePixel(index, scale) : lastDevicePixel(index, scale);
  };
  auto middle = [&](int index) {
    return (firstDevicePixel(index, scale) + lastDevicePixel(index, scale)) / 2;
  };
  auto play = [&](Cell cell, QPoint device) {
    pelorin::playTurn(game, cell);
    return release(device);
  };
  EdgeReleases done;
  // Rows first, on the full board: a release on the row's edge pixel, mid-way across a cell.
  for (int y = 0; y < pelorin::kRows; ++y) {
    std::vector<Cell> candidates;
    for (int x = pelorin::kColumns - 1; x >= 0; --x) candidates.push_back({x, y});
    const std::optional<Cell> cell = edgeTestCell(game, candidates, {0, step});
    if (!cell) continue;
    ++done.rows;
    if (!play(*cell, {middle(cell->x), edge(cell->y)})) {
      done.failure = "release on the edge of row " + std::to_string(y) + " in column " +
                     std::to_string(cell->x);
      return done;
    }
  }
  // Then the columns from the right, so that those still to come keep their balls.
  for (int x = pelorin::kColumns - 1; x >= 0; --x) {
    std::vector<Cell> candidates;
    for (int y = 0; y < pelorin::kRows; ++y) candidates.push_back({x, y});
    const std::optional<Cell> cell = edgeTestCell(game, candidates, {step, 0});
    if (!cell) continue;
    ++done.columns;
    if (!play(*cell, {edge(cell->x), middle(cell->y)})) {
      done.failure = "release on the edge of column " + std::to_string(x) + " in row " +
                     std::to_string(cell->y);
      return done;
    }
  }
  return done;
}
