#include <gtest/gtest.h>

#include "ui/NameText.h"

namespace {

TEST(NameText, ValidatorDropsControlCharactersAndKeepsTheCursorAfterTheSameLetter) {
  NameValidator validator;
  QString input = QStringLiteral("Ab\tc\u0001d\u0085");
  int cursor = 4;  // after "Ab\tc"
  EXPECT_EQ(validator.validate(input, cursor), QValidator::Acceptable);
  EXPECT_EQ(input, QStringLiteral("Abcd"));
  EXPECT_EQ(cursor, 3);
}

}  // namespace
