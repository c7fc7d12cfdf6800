// What the page calls in the engine and the score format. The page owns no rule: every turn,
// deal, insertion and name conversion happens here, on fixed buffers that the page reads and
// writes through the module's memory.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Generator.h"
#include "game/Turn.h"
#include "scores/rules/Cp1250.h"
#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"
#include "scores/rules/ScoreTable.h"

#define PELORIN_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

using namespace pelorin;

GameState game;
ScoreTable table;
// The stored table's bytes on their way in and the new table's on their way out.
ScoreFileBytes tableBytes{};
// A name as UTF-16 code units: the one typed, or the one of a row to show.
std::array<char16_t, 64> text{};

// What a release tells the page, as bits of one number.
enum ReleaseBits : int { Played = 1, Scored = 2, GameOver = 4 };

bool isControlCharacter(char16_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

}  // namespace

PELORIN_EXPORT(pelorin_board) const std::uint8_t* board() { return game.board.data(); }
PELORIN_EXPORT(pelorin_score) std::int32_t score() { return game.score; }

// A new game dealt from the clock's seconds, as the desktop game deals it.
PELORIN_EXPORT(pelorin_new_game) void newGameFromClock() { newGame(game); }

// A release at a pixel of the 400 x 144 board image.
PELORIN_EXPORT(pelorin_release) int release(int pixelX, int pixelY) {
  const std::optional<Cell> cell = cellAtPixel(pixelX, pixelY);
  if (!cell) return 0;
  const TurnResult result = playTurn(game, *cell);
  if (!result.played) return 0;
  return Played | (result.points > 0 || result.cleared ? Scored : 0) |
         (result.gameOver ? GameOver : 0);
}

PELORIN_EXPORT(pelorin_table_bytes) std::uint8_t* tableBytesBuffer() { return tableBytes.data(); }
PELORIN_EXPORT(pelorin_text) char16_t* textBuffer() { return text.data(); }
PELORIN_EXPORT(pelorin_text_capacity) int textCapacity() { return static_cast<int>(text.size()); }

// Reads the first `length` bytes of the buffer as a score file of that length.
PELORIN_EXPORT(pelorin_load_table) void loadTable(int length) {
  const auto count = static_cast<std::size_t>(std::clamp<int>(length, 0, kScoreFileSize));
  decodeScores(std::span<const std::uint8_t>(tableBytes.data(), count), table);
}

// The default table, loaded and its bytes put in the buffer.
PELORIN_EXPORT(pelorin_default_table) void loadDefaultTable() {
  table = defaultScoreTable();
  tableBytes = encodeScores(table);
}

// The row a score would take in the loaded table, or -1; the table is left as it is.
PELORIN_EXPORT(pelorin_place_for) int placeFor(std::int32_t result) {
  ScoreTable trial = table;
  return insertScore(trial, result).value_or(-1);
}

// Inserts a result with the name in the text buffer (`length` code units) into the loaded
// table and puts the new table's bytes in the buffer. Returns the row taken, or -1.
PELORIN_EXPORT(pelorin_record) int record(std::int32_t result, int length) {
  const std::optional<int> row = insertScore(table, result);
  if (!row) return -1;
  const auto units = static_cast<std::size_t>(std::clamp<int>(length, 0, textCapacity()));
  setName(table, *row, encodeCp1250(std::u16string_view(text.data(), units)));
  tableBytes = encodeScores(table);
  return *row;
}

// The name of a row of the loaded table into the text buffer, a control character shown as
// '?'. Returns its length in code units.
PELORIN_EXPORT(pelorin_row_name) int rowName(int row) {
  const std::u16string name = decodeCp1250(nameOf(table, std::clamp(row, 0, kScoreRows - 1)));
  const std::size_t length = std::min(name.size(), text.size());
  std::transform(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length), text.begin(),
                 [](char16_t code) { return isControlCharacter(code) ? u'?' : code; });
  return static_cast<int>(length);
}

PELORIN_EXPORT(pelorin_row_score) std::int32_t rowScore(int row) {
  return table.scoreValues[static_cast<std::size_t>(std::clamp(row, 0, kScoreRows - 1))];
}
