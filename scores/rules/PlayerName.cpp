#include "scores/rules/PlayerName.h"

#include <algorithm>

#include "scores/rules/Cp1250.h"

namespace pelorin {

bool isControlCharacter(char16_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

std::u16string withoutControlCharacters(std::u16string_view typed) {
  std::u16string kept;
  for (const char16_t code : typed) {
    if (!isControlCharacter(code)) kept += code;
  }
  return kept;
}

std::u16string withVisibleControlCharacters(std::u16string name) {
  std::replace_if(name.begin(), name.end(), isControlCharacter, u'?');
  return name;
}

std::u16string shownName(const ScoreTable& table, int row) {
  return withVisibleControlCharacters(decodeCp1250(nameOf(table, row)));
}

std::string storedName(std::u16string_view typed, ComposeText compose) {
  return encodeCp1250(compose(typed));
}

}  // namespace pelorin
