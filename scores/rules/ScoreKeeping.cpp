#include "scores/rules/ScoreKeeping.h"

#include "scores/rules/RecordScore.h"

namespace pelorin {

ScoreKeeping ScoreKeeping::toShow() { return ScoreKeeping(false, 0); }

ScoreKeeping ScoreKeeping::toRecord(std::int32_t score) { return ScoreKeeping(true, score); }

void ScoreKeeping::foundNothing() {
  // A table that is gone again right after it was stored cannot be relied on.
  if (createdAlready_) {
    step_ = Step::Done;
    return;
  }
  bytes_ = encodeScores(defaultScoreTable());
  step_ = Step::Create;
}

void ScoreKeeping::foundUnreadable() { step_ = Step::Done; }

void ScoreKeeping::found(std::span<const std::uint8_t> stored) {
  ScoreTable table;
  decodeScores(stored, table);
  if (named_) {
    insertInto(table);
  } else {
    tableRead(table);
  }
}

void ScoreKeeping::created(Creation creation) {
  if (creation == Creation::Stored) {
    // Read whatever is there now: another game may have stored its table first.
    createdAlready_ = true;
    step_ = named_ ? Step::LockedRead : Step::Read;
  } else if (creation == Creation::WithFirstResult) {
    // Until then the default table stands; the result then goes to that place of its own.
    if (named_) {
      step_ = Step::LockedRead;
    } else {
      tableRead(defaultScoreTable());
    }
  } else {
    step_ = Step::Done;
  }
}

void ScoreKeeping::named(std::string_view nameBytes) {
  name_ = nameBytes;
  named_ = true;
  createdAlready_ = false;
  step_ = Step::LockedRead;
}

void ScoreKeeping::written(bool stored) {
  if (stored) table_ = written_;
  recorded_ = stored;
  step_ = Step::Done;
}

void ScoreKeeping::tableRead(const ScoreTable& table) {
  table_ = table;
  hasTable_ = true;
  ScoreTable trial = table;
  step_ = recording_ && insertScore(trial, score_) ? Step::AskName : Step::Done;
}

void ScoreKeeping::insertInto(ScoreTable current) {
  const std::optional<int> row = insertScore(current, score_);
  if (!row) {
    table_ = current;
    step_ = Step::Done;
    return;
  }
  setName(current, *row, name_);
  written_ = current;
  bytes_ = encodeScores(current);
  step_ = Step::Write;
}

}  // namespace pelorin
