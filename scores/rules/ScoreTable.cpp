#include "scores/rules/ScoreTable.h"

#include <algorithm>

namespace pelorin {

ScoreTable defaultScoreTable() {
  constexpr std::string_view kDefaultName = "Quillon Dynamics";
  ScoreTable table;
  for (int row = 0; row < kScoreRows; ++row) {
    std::copy(kDefaultName.begin(), kDefaultName.end(), table.scoreNames[row].begin());
    table.scoreValues[row] = 350 * (kScoreRows - row);
  }
  return table;
}

std::string_view nameOf(const ScoreTable& table, int row) {
  const NameBuffer& buffer = table.scoreNames[row];
  const auto fieldEnd = buffer.begin() + kNameFieldSize;
  const auto nameEnd = std::find(buffer.begin(), fieldEnd, '\0');
  return std::string_view(buffer.data(), static_cast<std::size_t>(nameEnd - buffer.begin()));
}

}  // namespace pelorin
