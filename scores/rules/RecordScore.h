#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "scores/rules/ScoreTable.h"

namespace pelorin {

// Offers a result to the table. Rows with a score less than or equal to it are counted over all
// ten rows, so a tie goes above the equal rows and an unordered table still gets row 10 - count.
// Returns the row the result took, its name left empty, or nullopt (table untouched) if no row
// scores at most `score`.
std::optional<int> insertScore(ScoreTable& table, std::int32_t score);

// Stores up to 20 bytes of `nameBytes` as the name of `row` (0 to 9); a zero byte ends the name.
// A 20-byte name fills the field with no terminator; the buffer's spare bytes still end it.
void setName(ScoreTable& table, int row, std::string_view nameBytes);

}  // namespace pelorin
