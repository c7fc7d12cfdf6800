#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelorin {

inline constexpr int kScoreRows = 10;
inline constexpr int kNameFieldSize = 20;   // bytes of a name in the file
inline constexpr int kNameBufferSize = 22;  // in memory; the last two bytes always stay zero
inline constexpr int kScoreRecordSize = 22;
inline constexpr std::size_t kScoreFileSize = 220;
inline constexpr char kScoreFileName[] = "pelorin.sco";

static_assert(kScoreFileSize == static_cast<std::size_t>(kScoreRows * kScoreRecordSize));

// Raw Windows-1250 bytes. The two spare bytes keep a name of 20 non-zero bytes terminated.
using NameBuffer = std::array<char, kNameBufferSize>;

// The ten best results, row 0 the best. Only a working copy: the file is the real table.
struct ScoreTable {
  std::array<NameBuffer, kScoreRows> scoreNames{};
  std::array<std::int32_t, kScoreRows> scoreValues{};

  friend bool operator==(const ScoreTable&, const ScoreTable&) = default;
};

// What a new score file holds: "Quillon Dynamics" in every row, 3500 down to 350 in steps of 350.
ScoreTable defaultScoreTable();

// The name of a row (0 to 9): its bytes up to the first zero, at most 20.
std::string_view nameOf(const ScoreTable& table, int row);

}  // namespace pelorin
