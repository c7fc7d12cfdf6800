#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/BoardView.h"
#include "ui/NameCodec.h"

namespace {

// Every device pixel of every cell, as Qt hands it on: the device position divided by the
// ratio. Each must give a pixel of the cell whose picture that device pixel shows.
TEST(BitmapPixelAt, EveryDevicePixelOfACellGivesThatCell) {
  for (const double ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
    for (int device = 0; device < static_cast<int>(400 * ratio); ++device) {
      const int shown = static_cast<int>(device / ratio + 1e-9);  // painted from this pixel
      EXPECT_EQ(bitmapPixelAt(device / ratio, 0, ratio), shown)
          << "device pixel " << device << " at " << ratio;
    }
  }
}

TEST(BitmapPixelAt, ScaleOneIsTheWholePixelAndTheOriginIsSubtracted) {
  EXPECT_EQ(bitmapPixelAt(63, 0, 1), 63);
  EXPECT_EQ(bitmapPixelAt(63.75, 0, 1), 63);
  EXPECT_EQ(bitmapPixelAt(110, 10, 1), 100);
  EXPECT_EQ(bitmapPixelAt(10, 10, 2), 0);
  EXPECT_EQ(bitmapPixelAt(9.5, 10, 2), -1) << "left of the board";
  EXPECT_EQ(bitmapPixelAt(63.5, 0, 2), 63) << "the last device pixel of cell 3";
}

TEST(ExceptionBox, FullStopRule) {
  EXPECT_EQ(exceptionBoxText("Soubor nenalezen"), "Soubor nenalezen.");
  EXPECT_EQ(exceptionBoxText("Hotovo."), "Hotovo.");
  EXPECT_EQ(exceptionBoxText("Opravdu?"), "Opravdu?.") << "'?' sorts after '.'";
  EXPECT_EQ(exceptionBoxText("Chyba!"), "Chyba!") << "'!' sorts before '.'";
  EXPECT_EQ(exceptionBoxText(""), "");
  EXPECT_EQ(applicationTitle(), "Pelorin " PELORIN_VERSION);
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
