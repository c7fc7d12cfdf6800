#pragma once

#include <string>
#include <string_view>

// Names in the score file are Windows-1250 (Central European) bytes. The conversion is the
// code page's own table, so every system stores the same bytes for the same name.
namespace pelorin {

// The character a byte stands for. Bytes below 0x80 are ASCII. The five bytes the code
// page leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) stand for the control characters of
// the same number, as Windows' own converter has them, so every byte comes back unchanged.
char32_t cp1250ToUnicode(unsigned char byte);

// The byte for a character, or '?' when the code page cannot hold it: never a look-alike
// and never the substitute character 0x1A (that byte is only U+001A itself).
char unicodeToCp1250(char32_t character);

std::u16string decodeCp1250(std::string_view bytes);

// One byte per character: a surrogate pair is one character, so one '?'; an unpaired
// surrogate is a '?' of its own.
std::string encodeCp1250(std::u16string_view text);

}  // namespace pelorin
