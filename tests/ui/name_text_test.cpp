#include <gtest/gtest.h>

#include "ui/NameText.h"

namespace {

TEST(NameText, ControlCharactersAreC0DelAndC1Only) {
  for (const char16_t code : {0x00, 0x09, 0x0A, 0x0D, 0x1A, 0x1F, 0x7F, 0x80, 0x85, 0x9F}) {
    EXPECT_TRUE(isControlCharacter(QChar(code))) << int(code);
  }
  for (const char16_t code : {0x20, 0x7E, 0xA0, 0x0161, 0x2028}) {
    EXPECT_FALSE(isControlCharacter(QChar(code))) << int(code);
  }
}

TEST(NameText, ValidatorDropsControlCharactersAndKeepsTheCursorAfterTheSameLetter) {
  NameValidator validator;
  QString input = QStringLiteral("Ab\tc\u0001d\u0085");
  int cursor = 4;  // after "Ab\tc"
  EXPECT_EQ(validator.validate(input, cursor), QValidator::Acceptable);
  EXPECT_EQ(input, QStringLiteral("Abcd"));
  EXPECT_EQ(cursor, 3);
}

TEST(NameText, StoredControlCharactersShowAsQuestionMarksOnOneLine) {
  EXPECT_EQ(withVisibleControlCharacters(QStringLiteral("a\nb\r\u0085c\u00A0d")),
            QStringLiteral("a?b??c\u00A0d"));
}

}  // namespace
