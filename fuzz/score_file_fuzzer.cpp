// Arbitrary bytes as the score file: decode, record a result, encode, and check that nothing
// is lost or invented on the way.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>

#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"

namespace pelorin {
namespace {

// Aborts even where NDEBUG turns assert off: a broken invariant is the finding.
void require(bool condition) {
  if (!condition) std::abort();
}

std::int32_t scoreFrom(std::span<const std::uint8_t> input) {
  if (input.size() < 4) return 0;
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) bits = (bits << 8) | input[static_cast<std::size_t>(i)];
  return static_cast<std::int32_t>(bits);
}

// A byte missing from a short file reads as -1 and is written back as FF, except the high byte
// of a score whose low byte is missing too: -1 + (-1 << 8) = -257, stored as FF FE.
std::uint8_t rewrittenMissingByte(std::size_t offset, std::size_t inputSize) {
  const bool highScoreByte = offset % kScoreRecordSize == kScoreRecordSize - 1;
  return highScoreByte && offset - 1 >= inputSize ? 0xFE : 0xFF;
}

void checkRewrite(std::span<const std::uint8_t> input, const ScoreFileBytes& rewritten) {
  for (std::size_t offset = 0; offset < kScoreFileSize; ++offset) {
    const std::uint8_t expected =
        offset < input.size() ? input[offset] : rewrittenMissingByte(offset, input.size());
    require(rewritten[offset] == expected);
  }
}

void checkInsertion(const ScoreTable& before, const ScoreTable& after, std::int32_t score,
                    std::optional<int> place) {
  const auto atMost = std::count_if(before.scoreValues.begin(), before.scoreValues.end(),
                                    [score](std::int32_t value) { return value <= score; });
  if (atMost == 0) {
    require(!place && after == before);
    return;
  }
  require(place == kScoreRows - static_cast<int>(atMost));
  for (int row = 0; row < kScoreRows; ++row) {
    const auto r = static_cast<std::size_t>(row);
    if (row < *place) {
      require(after.scoreNames[r] == before.scoreNames[r]);
      require(after.scoreValues[r] == before.scoreValues[r]);
    } else if (row == *place) {
      require(after.scoreValues[r] == score && nameOf(after, row).empty());
    } else {
      require(after.scoreNames[r] == before.scoreNames[r - 1]);
      require(after.scoreValues[r] == before.scoreValues[r - 1]);
    }
  }
}

void checkName(const ScoreTable& table, int row, std::string_view given) {
  const std::size_t length = std::min<std::size_t>(given.find('\0'), kNameFieldSize);
  require(nameOf(table, row) == given.substr(0, length));
  const NameBuffer& buffer = table.scoreNames[static_cast<std::size_t>(row)];
  require(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(length), buffer.end(),
                      [](char byte) { return byte == '\0'; }));
}

// The file keeps each score modulo 65536; everything else comes back exactly.
void checkRoundTrip(const ScoreTable& table) {
  const ScoreFileBytes bytes = encodeScores(table);
  static_assert(std::tuple_size_v<ScoreFileBytes> == kScoreFileSize);
  ScoreTable decoded;
  decodeScores(bytes, decoded);
  require(decoded.scoreNames == table.scoreNames);
  for (std::size_t row = 0; row < kScoreRows; ++row) {
    require(decoded.scoreValues[row] == static_cast<std::uint16_t>(table.scoreValues[row]));
  }
  require(encodeScores(decoded) == bytes);
  ScoreTable decodedAgain;
  decodeScores(encodeScores(decoded), decodedAgain);
  require(decodedAgain == decoded);
}

}  // namespace
}  // namespace pelorin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pelorin;
  const std::span<const std::uint8_t> input(data, size);
  ScoreTable table;
  decodeScores(input, table);
  checkRewrite(input, encodeScores(table));

  const ScoreTable before = table;
  const std::int32_t score = scoreFrom(input);
  const std::optional<int> place = insertScore(table, score);
  checkInsertion(before, table, score, place);
  if (place) {
    // Longer than the field, so that cutting a name down is exercised too.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view name = bytes.substr(std::min<std::size_t>(size, 4), 24);
    setName(table, *place, name);
    checkName(table, *place, name);
  }
  checkRoundTrip(table);
  return 0;
}
