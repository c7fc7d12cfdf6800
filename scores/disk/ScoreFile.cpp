#include "scores/disk/ScoreFile.h"

#include <memory>
#include <optional>
#include <span>

#include "scores/disk/ScoreDisk.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using Step = ScoreKeeping::Step;

// The file's name in the form the system's file calls take, so that depth is no limit.
fs::path scoreFileIn(const fs::path& directory) { return systemPath(directory / kScoreFileName); }

void report(ScoreKeeping& keeping, const fs::path& file,
            const std::optional<ScoreFileContents>& contents) {
  if (contents) {
    keeping.found(std::span(contents->bytes).first(contents->size));
  } else if (isScoreFileAbsent(file)) {
    keeping.foundNothing();
  } else {
    keeping.foundUnreadable();
  }
}

// The table in its places, as one run of the steps works on it.
class DiskTable {
 public:
  explicit DiskTable(const ScorePlaces& places) : places_(places) {}

  void read(ScoreKeeping& keeping) {
    file_ = scoreFileIn(hasOwnTable() ? places_.own : places_.game);
    report(keeping, file_, readScoreBytes(file_));
  }

  // Never over a file: one that another game created meanwhile stays and is read.
  Creation create(const ScoreFileBytes& bytes) {
    if (createScoreFile(file_, bytes) || !isScoreFileAbsent(file_)) return Creation::Stored;
    if (file_ != scoreFileIn(places_.game) || places_.own.empty()) return Creation::Impossible;
    gameRefused_ = true;
    return Creation::WithFirstResult;
  }

  void lockAndRead(ScoreKeeping& keeping) {
    if (!chooseResultPlace()) return keeping.foundUnreadable();
    lock_ = LockedScoreFile::lock(file_);
    report(keeping, file_, lock_ ? lock_->read() : std::nullopt);
  }

  bool write(const ScoreFileBytes& bytes) { return lock_ && lock_->replace(bytes); }

 private:
  bool hasOwnTable() const {
    return !places_.own.empty() && !isScoreFileAbsent(scoreFileIn(places_.own));
  }

  bool chooseResultPlace() {
    const fs::path gameFile = scoreFileIn(places_.game);
    if (hasOwnTable()) {
      file_ = scoreFileIn(places_.own);
    } else if (places_.own.empty() || (!gameRefused_ && !isClosedToPlayer(gameFile))) {
      file_ = gameFile;
    } else {
      return startOwnTable(gameFile);
    }
    return true;
  }

  // The player's own copy starts from the game's table, as a virtualised write would.
  bool startOwnTable(const fs::path& gameFile) {
    ScoreTable start = defaultScoreTable();
    if (!isScoreFileAbsent(gameFile)) {
      const std::optional<ScoreFileContents> contents = readScoreBytes(gameFile);
      if (!contents) return false;
      decodeScores(std::span(contents->bytes).first(contents->size), start);
    }
    if (!createOwnDirectory(places_.own)) return false;
    file_ = scoreFileIn(places_.own);
    createScoreFile(file_, encodeScores(start));  // or another game's copy stays
    return true;
  }

  const ScorePlaces& places_;
  fs::path file_;             // the file the steps work on now
  bool gameRefused_ = false;  // no table could be stored beside the game
  std::unique_ptr<LockedScoreFile> lock_;
};

}  // namespace

void keepOnDisk(ScoreKeeping& keeping, const ScorePlaces& places, const AskName& askName) {
  DiskTable disk(places);
  for (;;) {
    switch (keeping.step()) {
      case Step::Read:
        disk.read(keeping);
        break;
      case Step::Create:
        keeping.created(disk.create(keeping.bytes()));
        break;
      case Step::AskName:
        keeping.named(askName ? askName(keeping.score()) : std::string());
        break;
      case Step::LockedRead:
        disk.lockAndRead(keeping);
        break;
      case Step::Write:
        keeping.written(disk.write(keeping.bytes()));
        break;
      case Step::Done:
        return;  // the lock goes with the disk's table
    }
  }
}

}  // namespace pelorin
