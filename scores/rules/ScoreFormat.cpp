#include "scores/rules/ScoreFormat.h"

#include <algorithm>

namespace pelorin {
namespace {

constexpr std::uint8_t kScoreBytes = 2;
constexpr int kBitsPerByte = 8;
constexpr int kBitsPerScore = 32;

}  // namespace

int ByteReader::readByte() {
  if (position_ >= bytes_.size()) return -1;
  return bytes_[position_++];
}

void ByteWriter::writeByte(std::uint8_t byte) {
  if (position_ < bytes_.size()) bytes_[position_] = byte;
  ++position_;
}

std::int32_t getBytes(ByteReader& in, std::uint8_t count) {
  // Unsigned arithmetic wraps like the 32-bit sum it stands for, without signed overflow.
  std::uint32_t sum = 0;
  for (int i = 0; i < count; ++i) {
    const auto byteValue = static_cast<std::uint32_t>(in.readByte());  // -1 becomes all ones
    const int shift = kBitsPerByte * i;
    // Bytes past the fourth are still read, but every bit they carry is shifted out.
    if (shift < kBitsPerScore) sum += byteValue << shift;
  }
  return static_cast<std::int32_t>(sum);
}

void putBytes(ByteWriter& out, std::uint32_t value, std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    out.writeByte(static_cast<std::uint8_t>(value & 0xFFu));
    value >>= kBitsPerByte;
  }
}

void decodeScores(std::span<const std::uint8_t> fileBytes, ScoreTable& table) {
  ByteReader in(fileBytes.first(std::min(fileBytes.size(), kScoreFileSize)));
  for (int row = 0; row < kScoreRows; ++row) {
    for (int i = 0; i < kNameFieldSize; ++i) {
      table.scoreNames[row][i] = static_cast<char>(static_cast<std::uint8_t>(in.readByte()));
    }
    table.scoreValues[row] = getBytes(in, kScoreBytes);
  }
}

ScoreFileBytes encodeScores(const ScoreTable& table) {
  ScoreFileBytes bytes{};
  ByteWriter out(bytes);
  for (int row = 0; row < kScoreRows; ++row) {
    for (int i = 0; i < kNameFieldSize; ++i) {
      out.writeByte(static_cast<std::uint8_t>(table.scoreNames[row][i]));
    }
    putBytes(out, static_cast<std::uint32_t>(table.scoreValues[row]), kScoreBytes);
  }
  return bytes;
}

}  // namespace pelorin
