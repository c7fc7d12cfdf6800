// The code page table against the system's own converter: glibc's iconv "CP1250".
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <optional>

#include "scores/rules/Cp1250.h"

namespace pelorin {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `size` bytes; nothing when the converter refuses them.
  std::optional<std::string> operator()(const char* bytes, std::size_t size) {
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each call
    char output[16];
    char* in = const_cast<char*>(bytes);
    char* out = output;
    std::size_t inLeft = size;
    std::size_t outLeft = sizeof output;
    if (iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
      return std::nullopt;
    return std::string(output, out);
  }

 private:
  iconv_t handle_;
};

bool undefinedInTheCodePage(unsigned byte) {
  return byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98;
}

TEST(Cp1250AgainstIconv, TheDefinedBytesDecodeAlike) {
  Converter decode("UTF-32LE", "CP1250");
  ASSERT_TRUE(decode.valid());
  int compared = 0;
  for (unsigned byte = 0; byte < 256; ++byte) {
    const char input = static_cast<char>(byte);
    const std::optional<std::string> output = decode(&input, 1);
    if (undefinedInTheCodePage(byte)) {
      EXPECT_FALSE(output) << "iconv leaves " << byte << " undefined";
      continue;
    }
    ASSERT_TRUE(output && output->size() == 4) << byte;
    const auto* units = reinterpret_cast<const unsigned char*>(output->data());
    const char32_t expected = units[0] | units[1] << 8 | units[2] << 16 | char32_t{units[3]} << 24;
    EXPECT_EQ(cp1250ToUnicode(static_cast<unsigned char>(byte)), expected) << byte;
    ++compared;
  }
  EXPECT_EQ(compared, 251);
}

TEST(Cp1250AgainstIconv, EveryCharacterOfTheFirstPlaneEncodesAlike) {
  Converter encode("CP1250", "UTF-32LE");
  ASSERT_TRUE(encode.valid());
  for (char32_t character = 0; character < 0x10000; ++character) {
    if (character >= 0xD800 && character <= 0xDFFF) continue;
    const char units[4] = {static_cast<char>(character & 0xFF),
                           static_cast<char>(character >> 8 & 0xFF), 0, 0};
    const std::optional<std::string> output = encode(units, 4);
    const char ours = unicodeToCp1250(character);
    if (output) {
      EXPECT_EQ(std::string(1, ours), *output) << std::hex << static_cast<std::uint32_t>(character);
    } else if (!undefinedInTheCodePage(character)) {
      EXPECT_EQ(ours, '?') << std::hex << static_cast<std::uint32_t>(character);
    }
  }
}

}  // namespace
}  // namespace pelorin
