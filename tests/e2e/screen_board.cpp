#include "tests/e2e/screen_board.h"

#include <cstdint>


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
