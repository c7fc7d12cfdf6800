#include "scores/rules/Cp1250.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "scores/rules/PlayerName.h"

namespace pelorin {
namespace {

TEST(Cp1250, EveryByteComesBackUnchanged) {
  std::set<char32_t> characters;
  for (int byte = 0; byte < 256; ++byte) {
    const std::string bytes(1, static_cast<char>(byte));
    const std::u16string text = decodeCp1250(bytes);
    ASSERT_EQ(text.size(), 1u) << byte;
    EXPECT_EQ(encodeCp1250(text), bytes) << byte;
    characters.insert(text[0]);
  }
  EXPECT_EQ(characters.size(), 256u) << "no two bytes stand for the same character";
}

TEST(Cp1250, UndefinedBytesAreTheControlCharactersOfTheirNumber) {
  for (const unsigned char byte : {0x81, 0x83, 0x88, 0x90, 0x98})
    EXPECT_EQ(cp1250ToUnicode(byte), char32_t{byte}) << int{byte};
}

TEST(Cp1250, CzechNamesGiveTheirKnownBytes) {
  EXPECT_EQ(encodeCp1250(u"Petr K\u016F\u0148"), "Petr K\xF9\xF2");
  EXPECT_EQ(encodeCp1250(u"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148"),
            "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2");
  EXPECT_EQ(decodeCp1250("\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2"),
            u"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148");
  EXPECT_EQ(encodeCp1250(u"\u0158ep\u00EDk \u0160\u0165astn\u00FD \u20AC"),
            "\xD8"
            "ep\xEDk \x8A\x9D"
            "astn\xFD \x80");
  EXPECT_EQ(encodeCp1250(u"Quillon Dynamics"), "Quillon Dynamics");
}

TEST(Cp1250, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
  EXPECT_EQ(encodeCp1250(u"Anna \u674E \u20AC"), "Anna ? \x80");
  EXPECT_EQ(encodeCp1250(u"Jan \U0001F600!"), "Jan ?!") << "a surrogate pair is one character";
  EXPECT_EQ(encodeCp1250(std::u16string{u'a', char16_t{0xD800}, u'b'}), "a?b");
  EXPECT_EQ(encodeCp1250(std::u16string{u'a', char16_t{0xDC00}, char16_t{0xD800}}), "a??");
  EXPECT_EQ(encodeCp1250(u"\u0101\u00C5"), "??") << "no look-alikes: a-macron is not 'a'";
}

// Whatever a character of the first plane becomes is either '?' or the byte that stands
// for exactly that character; the substitute byte 0x1A comes only from U+001A.
TEST(Cp1250, EncodingIsExactOrAQuestionMark) {
  for (char32_t character = 0; character < 0x10000; ++character) {
    if (character >= 0xD800 && character <= 0xDFFF) continue;
    const char byte = unicodeToCp1250(character);
    if (byte == '?' && character != U'?') continue;
    EXPECT_EQ(cp1250ToUnicode(static_cast<unsigned char>(byte)), character)
        << std::hex << static_cast<std::uint32_t>(character);
  }
}

TEST(PlayerName, ControlCharactersAreC0DelAndC1Only) {
  for (const char16_t code : {0x00, 0x09, 0x0A, 0x0D, 0x1A, 0x1F, 0x7F, 0x80, 0x85, 0x9F}) {
    EXPECT_TRUE(isControlCharacter(code)) << int(code);
  }
  for (const char16_t code : {0x20, 0x7E, 0xA0, 0x0161, 0x2028}) {
    EXPECT_FALSE(isControlCharacter(code)) << int(code);
  }
}

TEST(PlayerName, StoredControlCharactersShowAsQuestionMarksOnOneLine) {
  EXPECT_EQ(withVisibleControlCharacters(u"a\nb\r\u0085c\u00A0d"), u"a?b??c\u00A0d");
}

}  // namespace
}  // namespace pelorin
