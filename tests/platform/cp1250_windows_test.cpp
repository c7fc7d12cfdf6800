// The code page table against Windows' own converter for code page 1250.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "scores/rules/Cp1250.h"

namespace pelorin {
namespace {

constexpr UINT kCodePage = 1250;

TEST(Cp1250AgainstWindows, EveryByteDecodesAlike) {
  for (int byte = 0; byte < 256; ++byte) {
    const char input = static_cast<char>(byte);
    wchar_t output[2] = {};
    ASSERT_EQ(MultiByteToWideChar(kCodePage, 0, &input, 1, output, 2), 1) << byte;
    EXPECT_EQ(cp1250ToUnicode(static_cast<unsigned char>(byte)), char32_t{output[0]}) << byte;
  }
}

TEST(Cp1250AgainstWindows, EveryCharacterOfTheFirstPlaneEncodesAlike) {
  for (char32_t character = 0; character < 0x10000; ++character) {
    if (character >= 0xD800 && character <= 0xDFFF) continue;
    const wchar_t input = static_cast<wchar_t>(character);
    char output[4] = {};
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &input, 1, output,
                                           sizeof output, "?", &usedDefault);
    ASSERT_EQ(length, 1) << std::hex << static_cast<std::uint32_t>(character);
    EXPECT_EQ(unicodeToCp1250(character), usedDefault ? '?' : output[0])
        << std::hex << static_cast<std::uint32_t>(character);
  }
}

TEST(Cp1250AgainstWindows, NamesEncodeAlike) {
  for (const std::u16string& name : {std::u16string(u"Petr K\u016F\u0148"),
                                     std::u16string(u"\u017Dlu\u0165ou\u010Dk\u00FD k\u016F\u0148"),
                                     std::u16string(u"Anna \u674E \u20AC")}) {
    const auto* wide = reinterpret_cast<const wchar_t*>(name.c_str());
    char output[64] = {};
    const int length =
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(name.size()),
                            output, sizeof output, "?", nullptr);
    EXPECT_EQ(encodeCp1250(name), std::string(output, static_cast<std::size_t>(length)));
  }
}

}  // namespace
}  // namespace pelorin
