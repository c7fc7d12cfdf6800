// What the page calls in the engine and the table's rules. The page owns no rule: every turn,
// deal, step of keeping the table and name conversion happens here, on fixed buffers that the
// page reads and writes through the module's memory.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Generator.h"
#include "game/Turn.h"
#include "scores/rules/PlayerName.h"
#include "scores/rules/ScoreKeeping.h"

#define PELORIN_EXPORT(name) extern "C" __attribute__((export_name(#name)))

// The browser's Unicode composition of the text buffer's first `length` code units, in place;
// returns the composed length.
extern "C" __attribute__((import_module("pelorin"), import_name("compose"))) int composeWithBrowser(
    char16_t* text, int length, int capacity);

namespace {

using namespace pelorin;
using Step = ScoreKeeping::Step;

GameState game;
ScoreKeeping keeping = ScoreKeeping::toShow();
// Stored bytes on their way in.
ScoreFileBytes storedBytes{};
// A name as UTF-16 code units: the one typed, or the one of a row to show. Room for a name
// of the field's 20 units however its composition grows it.
std::array<char16_t, 64> text{};

std::u16string_view textOf(int length) {
  return {text.data(), static_cast<std::size_t>(std::clamp<int>(length, 0, text.size()))};
}

int putText(std::u16string_view value) {
  const std::size_t length = std::min(value.size(), text.size());
  std::copy_n(value.begin(), length, text.begin());
  return static_cast<int>(length);
}

std::u16string composedByBrowser(std::u16string_view typed) {
  const int length = composeWithBrowser(text.data(), putText(typed), text.size());
  return std::u16string(textOf(length));
}

// The table the window shows: the one read, or the default one where none could be.
const ScoreTable& shownTable() {
  static const ScoreTable defaults = defaultScoreTable();
  return keeping.hasTable() ? keeping.table() : defaults;
}

int rowOf(int row) { return std::clamp(row, 0, kScoreRows - 1); }

}  // namespace

// What the page lays out and loops over, and the names of the steps it takes.
PELORIN_EXPORT(pelorin_columns) int columns() { return kColumns; }
PELORIN_EXPORT(pelorin_rows) int rows() { return kRows; }
PELORIN_EXPORT(pelorin_cell_pixels) int cellPixels() { return kCellPixels; }
PELORIN_EXPORT(pelorin_file_bytes) int fileBytes() { return static_cast<int>(kScoreFileSize); }
PELORIN_EXPORT(pelorin_step_read) Step stepRead() { return Step::Read; }
PELORIN_EXPORT(pelorin_step_create) Step stepCreate() { return Step::Create; }
PELORIN_EXPORT(pelorin_step_askName) Step stepAskName() { return Step::AskName; }
PELORIN_EXPORT(pelorin_step_lockedRead) Step stepLockedRead() { return Step::LockedRead; }
PELORIN_EXPORT(pelorin_step_write) Step stepWrite() { return Step::Write; }
PELORIN_EXPORT(pelorin_step_done) Step stepDone() { return Step::Done; }

PELORIN_EXPORT(pelorin_board) const std::uint8_t* board() { return game.board.data(); }
PELORIN_EXPORT(pelorin_score) std::int32_t score() { return game.score; }

// A new game dealt from the clock's seconds, as the desktop game deals it.
PELORIN_EXPORT(pelorin_new_game) void newGameFromClock() { newGame(game); }

// A release at a pixel of the board image; whether it played a turn (the board is redrawn).
PELORIN_EXPORT(pelorin_release) bool release(int pixelX, int pixelY) {
  const std::optional<Cell> cell = cellAtPixel(pixelX, pixelY);
  return cell && playTurn(game, *cell).played;
}

// The game has ended: its result goes to the table.
PELORIN_EXPORT(pelorin_game_over) bool gameOver() { return game.finished; }

PELORIN_EXPORT(pelorin_text) char16_t* textBuffer() { return text.data(); }
PELORIN_EXPORT(pelorin_text_capacity) int textCapacity() { return static_cast<int>(text.size()); }

// What the name field keeps of the `length` units in the text buffer; returns its length.
PELORIN_EXPORT(pelorin_keep_name_characters) int keepNameCharacters(int length) {
  return putText(withoutControlCharacters(textOf(length)));
}

// The steps of showing the table, or of recording the game's result; then one step at a time.
PELORIN_EXPORT(pelorin_show_table) void showTable() { keeping = ScoreKeeping::toShow(); }
PELORIN_EXPORT(pelorin_record_result) void recordResult() {
  keeping = ScoreKeeping::toRecord(game.score);
}
PELORIN_EXPORT(pelorin_step) Step step() { return keeping.step(); }

PELORIN_EXPORT(pelorin_stored_bytes) std::uint8_t* storedBytesBuffer() {
  return storedBytes.data();
}
PELORIN_EXPORT(pelorin_bytes_to_store) const std::uint8_t* bytesToStore() {
  return keeping.bytes().data();
}

PELORIN_EXPORT(pelorin_found_nothing) void foundNothing() { keeping.foundNothing(); }
PELORIN_EXPORT(pelorin_found_unreadable) void foundUnreadable() { keeping.foundUnreadable(); }
// The first `length` bytes of the stored-bytes buffer are what is stored.
PELORIN_EXPORT(pelorin_found) void found(int length) {
  const auto count = static_cast<std::size_t>(std::clamp<int>(length, 0, storedBytes.size()));
  keeping.found(std::span<const std::uint8_t>(storedBytes.data(), count));
}
PELORIN_EXPORT(pelorin_created) void created(bool stored) {
  keeping.created(stored ? Creation::Stored : Creation::Impossible);
}
// The name typed, `length` units in the text buffer.
PELORIN_EXPORT(pelorin_named) void named(int length) {
  keeping.named(storedName(std::u16string(textOf(length)), composedByBrowser));
}
PELORIN_EXPORT(pelorin_written) void written(bool stored) { keeping.written(stored); }

// The name of a row of the table shown, into the text buffer; returns its length.
PELORIN_EXPORT(pelorin_row_name) int rowName(int row) {
  return putText(shownName(shownTable(), rowOf(row)));
}

PELORIN_EXPORT(pelorin_row_score) std::int32_t rowScore(int row) {
  return shownTable().scoreValues[static_cast<std::size_t>(rowOf(row))];
}
