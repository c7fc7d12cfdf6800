#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "scores/rules/ScoreTable.h"

namespace pelorin {

// The score file on a byte buffer. Ten records of 22 bytes, row 0 first: the 20-byte name
// field, then the score as an unsigned 16-bit little-endian number. No header, no checksum.

using ScoreFileBytes = std::array<std::uint8_t, kScoreFileSize>;

// Reads a buffer one byte at a time, the way the game always read its file.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  // 0 to 255, or -1 past the end: a short file is never an error.
  int readByte();

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Writes a buffer one byte at a time; bytes past its end are dropped.
class ByteWriter {
 public:
  explicit ByteWriter(std::span<std::uint8_t> bytes) : bytes_(bytes) {}

  void writeByte(std::uint8_t byte);
  std::size_t position() const { return position_; }

 private:
  std::span<std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Reads `count` bytes, least significant first, and sums byte i shifted left by 8*i as a signed
// 32-bit number. A missing byte reads as -1, so it contributes -1 << 8*i (all bits set above).
std::int32_t getBytes(ByteReader& in, std::uint8_t count);

// Writes the low `count` bytes of `value`, least significant first; zeros past the fourth.
// A count of 0 or less writes nothing.
void putBytes(ByteWriter& out, std::uint32_t value, std::int32_t count);

// Fills the table from a file's bytes. Bytes past 220 are ignored; missing ones read as -1 (a
// name byte 255, a score as getBytes says). Only the first 20 bytes of each name buffer change.
void decodeScores(std::span<const std::uint8_t> fileBytes, ScoreTable& table);

// The whole file for a table: always 220 bytes, each score stored modulo 65536.
ScoreFileBytes encodeScores(const ScoreTable& table);

}  // namespace pelorin
