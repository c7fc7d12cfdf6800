#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/NameCodec.h"

namespace {

TEST(ExceptionBox, FullStopRule) {
  EXPECT_EQ(exceptionBoxText("Soubor nenalezen"), "Soubor nenalezen.");
  EXPECT_EQ(exceptionBoxText("Hotovo."), "Hotovo.");
  EXPECT_EQ(exceptionBoxText("Opravdu?"), "Opravdu?.") << "'?' sorts after '.'";
  EXPECT_EQ(exceptionBoxText("Chyba!"), "Chyba!") << "'!' sorts before '.'";
  EXPECT_EQ(exceptionBoxText(""), "");
  EXPECT_EQ(applicationTitle(), "Pelorin 1.01");
}

TEST(NameCodec, EveryByteDecodesAndCzechRoundTrips) {
  for (int byte = 1; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    EXPECT_EQ(decodeName(std::string_view(&c, 1)).size(), 1) << byte;
  }
  const QString name = QStringLiteral("Žluťoučký kůň");
  const std::string bytes = encodeName(name);
  EXPECT_EQ(bytes, "\x8Elu\x9Dou\xE8k\xFD k\xF9\xF2");
  EXPECT_EQ(decodeName(bytes), name);
}

TEST(NameCodec, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(encodeName(QStringLiteral("Anna 李 €")), "Anna ? \x80");
  EXPECT_EQ(encodeName(QString::fromUtf8("Jan \xF0\x9F\x98\x80")), "Jan ?") << "one mark per emoji";
  // "e" followed by a combining acute accent is stored as the single letter é
  EXPECT_EQ(encodeName(QString::fromUtf8("Ren\x65\xCC\x81")), "Ren\xE9");
}

}  // namespace
