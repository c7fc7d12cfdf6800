#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "scores/rules/ScoreFormat.h"
#include "scores/rules/ScoreTable.h"

namespace pelorin {

// How a front end's attempt to store the first table went.
enum class Creation : std::uint8_t {
  Stored,           // a table is stored now: this one, or one another game stored first
  Impossible,       // nothing can be stored where the table is kept
  WithFirstResult,  // nothing is stored yet; a place of the player's own takes the first result
};

// The steps by which every front end shows the table of the ten best results and records a
// finished game's result in it, in the one order they are taken. The front end does each
// step's work with its own storage (a file and its lock, or the browser's) and its own dialog,
// and reports what came of it; these rules decide what comes next.
class ScoreKeeping {
 public:
  enum class Step : std::uint8_t {
    Read,        // read the stored table and report it with `found...`
    Create,      // store `bytes()` only where nothing is stored yet; report with `created`
    AskName,     // ask the player's name for `score()`; report it with `named`
    LockedRead,  // take the lock every game takes for a result, keep it until Done, read again
    Write,       // replace the table with `bytes()` under that lock; report with `written`
    Done,        // release the lock, if one was taken
  };

  // The table to show: a missing table is first stored as the default one.
  static ScoreKeeping toShow();

  // The same, then a result that makes the ten asks for a name and, under the lock, goes into
  // the table as it is stored by then: a result another game recorded meanwhile is kept, and
  // one that no longer makes the ten is not written.
  static ScoreKeeping toRecord(std::int32_t score);

  Step step() const { return step_; }
  std::int32_t score() const { return score_; }
  const ScoreFileBytes& bytes() const { return bytes_; }
  // Whether a table was read, or stands as the default one until the first result; without
  // one, what the window showed stays.
  bool hasTable() const { return hasTable_; }
  // The table as last read, or as written once the result is recorded.
  const ScoreTable& table() const { return table_; }
  bool recorded() const { return recorded_; }

  void foundNothing();
  void foundUnreadable();
  // What is stored: a short table is read as it is, its missing bytes as -1; past 220 ignored.
  void found(std::span<const std::uint8_t> stored);
  void created(Creation creation);
  // The player's name as it is stored (see storedName).
  void named(std::string_view nameBytes);
  void written(bool stored);

 private:
  ScoreKeeping(bool recording, std::int32_t score) : recording_(recording), score_(score) {}
  void tableRead(const ScoreTable& table);
  void insertInto(ScoreTable current);

  bool recording_;
  bool named_ = false;           // the name is in; the steps work under the lock
  bool createdAlready_ = false;  // a table was stored once in these steps
  bool hasTable_ = false;
  bool recorded_ = false;
  std::int32_t score_;
  Step step_ = Step::Read;
  ScoreFileBytes bytes_{};
  ScoreTable table_{};
  ScoreTable written_{};
  std::string name_;
};

}  // namespace pelorin
