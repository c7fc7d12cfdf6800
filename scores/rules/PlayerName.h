#pragma once

#include <string>
#include <string_view>

#include "scores/rules/ScoreTable.h"

// A player's name is text on one line: control characters (C0, DEL and C1) are never part of
// one. Names are stored as Windows-1250 bytes and shown as Unicode.
namespace pelorin {

bool isControlCharacter(char16_t code);

// What a name field keeps of the text typed or pasted into it.
std::u16string withoutControlCharacters(std::u16string_view typed);

// A name read from the table, each control character shown as '?'.
std::u16string withVisibleControlCharacters(std::u16string name);

// The name of a row (0 to 9) as the table window shows it.
std::u16string shownName(const ScoreTable& table, int row);

// The system's canonical composition (Unicode NFC), which each front end takes from its own
// text library.
using ComposeText = std::u16string (*)(std::u16string_view text);

// The bytes stored for a typed name: composed first, so that "é" typed in two parts is one
// character the code page holds; a character it cannot hold is stored as '?'.
std::string storedName(std::u16string_view typed, ComposeText compose);

}  // namespace pelorin
