#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "scores/rules/ScoreFormat.h"

namespace pelorin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The default file written out by hand: "Quillon Dynamics", four zeros, the score bytes.
Bytes defaultFileBytes() {
  const std::uint8_t scoreBytes[kScoreRows][2] = {
      {0xAC, 0x0D}, {0x4E, 0x0C}, {0xF0, 0x0A}, {0x92, 0x09}, {0x34, 0x08},
      {0xD6, 0x06}, {0x78, 0x05}, {0x1A, 0x04}, {0xBC, 0x02}, {0x5E, 0x01}};
  const std::string name("Quillon Dynamics\0\0\0\0", 20);
  Bytes bytes;
  for (const auto& score : scoreBytes) {
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.insert(bytes.end(), {score[0], score[1]});
  }
  return bytes;
}

Bytes asVector(const ScoreFileBytes& bytes) { return Bytes(bytes.begin(), bytes.end()); }

ScoreTable decoded(const Bytes& bytes) {
  ScoreTable table;
  decodeScores(bytes, table);
  return table;
}

std::int32_t getFrom(const Bytes& bytes, std::uint8_t count) {
  ByteReader in(bytes);
  return getBytes(in, count);
}

Bytes putInto(std::size_t size, std::uint32_t value, std::int32_t count) {
  Bytes bytes(size, 0xAA);
  ByteWriter out(bytes);
  putBytes(out, value, count);
  return bytes;
}

TEST(ScoreBytes, ReadsLowByteFirstWithoutSignExtension) {
  EXPECT_EQ(getFrom({0x00, 0x00}, 2), 0);
  EXPECT_EQ(getFrom({0x70, 0x11}, 2), 4464);
  EXPECT_EQ(getFrom({0xFF, 0xFF}, 2), 65535);
  EXPECT_EQ(getFrom({0x80, 0x00}, 2), 128);
  EXPECT_EQ(getFrom({0xFF, 0xFF, 0xFF, 0xFF}, 4), -1);  // the sum is a signed 32-bit number
}

TEST(ScoreBytes, MissingBytesReadAsMinusOne) {
  EXPECT_EQ(getFrom({}, 2), -257);
  EXPECT_EQ(getFrom({0x5E}, 2), 0x5E - 256);
  EXPECT_EQ(getFrom({}, 0), 0);
  const Bytes oneByte = {0xFF};
  ByteReader in(oneByte);
  EXPECT_EQ(in.readByte(), 255);
  EXPECT_EQ(in.readByte(), -1);
  EXPECT_EQ(in.readByte(), -1);
}

TEST(ScoreBytes, BytesPastTheFourthAreReadButAddNothing) {
  const Bytes bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  ByteReader in(bytes);
  EXPECT_EQ(getBytes(in, 5), 0x04030201);
  EXPECT_EQ(in.readByte(), 0x06);
}

TEST(ScoreBytes, WritesTheLowBytesLowFirst) {
  EXPECT_EQ(putInto(2, 0, 2), (Bytes{0x00, 0x00}));
  EXPECT_EQ(putInto(2, 65535, 2), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(putInto(2, 70000, 2), (Bytes{0x70, 0x11}));
  EXPECT_EQ(putInto(2, static_cast<std::uint32_t>(-257), 2), (Bytes{0xFF, 0xFE}));
  EXPECT_EQ(putInto(6, 0x04030201, 6), (Bytes{0x01, 0x02, 0x03, 0x04, 0x00, 0x00}));
}

TEST(ScoreBytes, CountOfZeroOrLessWritesNothing) {
  EXPECT_EQ(putInto(2, 70000, 0), (Bytes{0xAA, 0xAA}));
  EXPECT_EQ(putInto(2, 70000, -1), (Bytes{0xAA, 0xAA}));
  EXPECT_EQ(putInto(2, 70000, std::numeric_limits<std::int32_t>::min()), (Bytes{0xAA, 0xAA}));
}

TEST(ScoreBytes, WriterNeverWritesPastItsBuffer) {
  Bytes bytes(3, 0xAA);
  ByteWriter out{std::span(bytes).first(1)};
  putBytes(out, 0x0201, 2);
  EXPECT_EQ(bytes, (Bytes{0x01, 0xAA, 0xAA}));
}

TEST(ScoreFileFormat, DefaultTableHasTheKnownBytes) {
  EXPECT_EQ(asVector(encodeScores(defaultScoreTable())), defaultFileBytes());
  const ScoreTable table = decoded(defaultFileBytes());
  EXPECT_EQ(table, defaultScoreTable());
  for (int row = 0; row < kScoreRows; ++row) {
    EXPECT_EQ(nameOf(table, row), "Quillon Dynamics");
    EXPECT_EQ(table.scoreValues[row], 3500 - 350 * row);
  }
}

TEST(ScoreFileFormat, EmptyFileReadsAsByte255NamesAndMinus257) {
  const ScoreTable table = decoded({});
  for (int row = 0; row < kScoreRows; ++row) {
    EXPECT_EQ(nameOf(table, row), std::string(20, '\xFF'));
    EXPECT_EQ(table.scoreNames[row][20], '\0');
    EXPECT_EQ(table.scoreNames[row][21], '\0');
    EXPECT_EQ(table.scoreValues[row], -257);
  }
  const Bytes rewritten = asVector(encodeScores(table));
  EXPECT_EQ(Bytes(rewritten.begin(), rewritten.begin() + 22),
            (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
  EXPECT_EQ(decoded(rewritten).scoreValues[9], 65279);
}

TEST(ScoreFileFormat, FileOneByteShortLosesRowNinesHighByte) {
  Bytes bytes = defaultFileBytes();
  bytes.pop_back();
  const ScoreTable table = decoded(bytes);
  for (int row = 0; row < 9; ++row) EXPECT_EQ(table.scoreValues[row], 3500 - 350 * row);
  EXPECT_EQ(nameOf(table, 9), "Quillon Dynamics");
  EXPECT_EQ(table.scoreValues[9], 0x5E - 256);
}

TEST(ScoreFileFormat, BytesPastTheTableAreIgnored) {
  Bytes bytes = defaultFileBytes();
  bytes.resize(300, 0x41);
  EXPECT_EQ(decoded(bytes), defaultScoreTable());
}

TEST(ScoreFileFormat, NameFillingTheWholeFieldRoundTrips) {
  Bytes bytes = defaultFileBytes();
  const std::string fullName = "ABCDEFGHIJKLMNOPQRS\xE8";  // 20 bytes, the last one Windows-1250
  std::copy(fullName.begin(), fullName.end(), bytes.begin() + 22 * 3);
  const ScoreTable table = decoded(bytes);
  EXPECT_EQ(nameOf(table, 3), fullName);
  EXPECT_EQ(table.scoreValues[3], 2450);
  EXPECT_EQ(asVector(encodeScores(table)), bytes);
}

TEST(ScoreFileFormat, DecodingLeavesTheSpareNameBytesAlone) {
  ScoreTable table;
  table.scoreNames[0][20] = 'x';
  decodeScores(defaultFileBytes(), table);
  EXPECT_EQ(table.scoreNames[0][20], 'x');
  EXPECT_EQ(table.scoreNames[0][21], '\0');
}

TEST(ScoreFileFormat, ScoresAreStoredModulo65536) {
  ScoreTable table = defaultScoreTable();
  table.scoreValues[0] = 70000;
  table.scoreValues[1] = -1;
  table.scoreValues[2] = 65536;
  const Bytes bytes = asVector(encodeScores(table));
  EXPECT_EQ(bytes[20], 0x70);
  EXPECT_EQ(bytes[21], 0x11);
  const ScoreTable readBack = decoded(bytes);
  EXPECT_EQ(readBack.scoreValues[0], 4464);
  EXPECT_EQ(readBack.scoreValues[1], 65535);
  EXPECT_EQ(readBack.scoreValues[2], 0);
}

}  // namespace
}  // namespace pelorin
