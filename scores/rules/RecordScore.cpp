#include "scores/rules/RecordScore.h"

#include <algorithm>

namespace pelorin {
namespace {

void clearNameField(NameBuffer& name) {
  std::fill(name.begin(), name.begin() + kNameFieldSize, '\0');
}

}  // namespace

std::optional<int> insertScore(ScoreTable& table, std::int32_t score) {
  const auto qualifyingRows = std::count_if(table.scoreValues.begin(), table.scoreValues.end(),
                                            [score](std::int32_t value) { return value <= score; });
  if (qualifyingRows == 0) return std::nullopt;

  const int place = kScoreRows - static_cast<int>(qualifyingRows);
  for (int row = kScoreRows - 1; row > place; --row) {
    table.scoreValues[row] = table.scoreValues[row - 1];
    const NameBuffer& above = table.scoreNames[row - 1];
    std::copy(above.begin(), above.begin() + kNameFieldSize, table.scoreNames[row].begin());
  }
  table.scoreValues[place] = score;
  clearNameField(table.scoreNames[place]);
  return place;
}

void setName(ScoreTable& table, int row, std::string_view nameBytes) {
  const std::string_view name = nameBytes.substr(0, nameBytes.find('\0'));
  const std::size_t length = std::min(name.size(), static_cast<std::size_t>(kNameFieldSize));
  NameBuffer& buffer = table.scoreNames[row];
  clearNameField(buffer);
  std::copy_n(name.begin(), length, buffer.begin());
}

}  // namespace pelorin
