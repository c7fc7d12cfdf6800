// Checks the seven 16 x 16 cell pictures in resources/balls against the rules
// they are drawn by: a black outline one pixel wide, white outside the disc,
// the ball's fill colour inside and its highlight pixels on top.  The expected
// pictures are built here from the row table and the highlight lists, never
// copied from the files.

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#ifndef PELORIN_RESOURCE_DIR
#error "PELORIN_RESOURCE_DIR must name the resources directory"
#endif

namespace {

constexpr int kSize = 16;
constexpr std::size_t kFileSize = 822;
constexpr std::size_t kHeaderSize = 14 + 40;
constexpr std::size_t kRowBytes = kSize * 3;  // 48, already a multiple of 4

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

void PrintTo(const Rgb& c, std::ostream* os) {
  static const char* const kHex = "0123456789ABCDEF";
  *os << '#';
  for (std::uint8_t v : {c.r, c.g, c.b}) {
    *os << kHex[v >> 4] << kHex[v & 0xF];
  }
}

constexpr Rgb kBlack{0x00, 0x00, 0x00};
constexpr Rgb kWhite{0xFF, 0xFF, 0xFF};
constexpr Rgb kSilver{0xC0, 0xC0, 0xC0};

// Pixel (x, y): column x from the left, row y from the top.
using Picture = std::array<std::array<Rgb, kSize>, kSize>;

// ---------------------------------------------------------------------------
// The disc
// ---------------------------------------------------------------------------

// Per row: the outline columns and the interior columns (first..last, empty
// when first > last).  Everything else in the row is outside.
struct RowRule {
  std::vector<int> rows;
  std::vector<int> outline;
  int first;
  int last;
};

const std::vector<RowRule>& rowRules() {
  static const std::vector<RowRule> rules = {
      {{0, 15}, {6, 7, 8, 9}, 1, 0},    {{1, 14}, {4, 5, 10, 11}, 6, 9},
      {{2, 13}, {3, 12}, 4, 11},        {{3, 12}, {2, 13}, 3, 12},
      {{4, 5, 10, 11}, {1, 14}, 2, 13}, {{6, 7, 8, 9}, {0, 15}, 1, 14},
  };
  return rules;
}

enum class Region { Outside, Outline, Interior };

Region regionOf(int x, int y) {
  for (const RowRule& rule : rowRules()) {
    for (int row : rule.rows) {
      if (row != y) continue;
      for (int col : rule.outline) {
        if (col == x) return Region::Outline;
      }
      if (x >= rule.first && x <= rule.last) return Region::Interior;
      return Region::Outside;
    }
  }
  ADD_FAILURE() << "row " << y << " is missing from the row table";
  return Region::Outside;
}

// ---------------------------------------------------------------------------
// The balls
// ---------------------------------------------------------------------------

struct Point {
  int x;
  int y;
};

struct Highlight {
  Rgb colour;
  std::vector<Point> pixels;
};

struct Ball {
  const char* file;  // picture file name without ".bmp"
  Rgb fill;
  std::vector<Highlight> highlights;
};

void PrintTo(const Ball& ball, std::ostream* os) { *os << ball.file; }

const std::vector<Point> kDots = {{4, 4}, {11, 11}};
const std::vector<Point> kArc = {{12, 9}, {12, 10}, {9, 12}, {10, 12}};
// Centre cross of the sparkle plus the glint at (11, 11).
const std::vector<Point> kSparkleCrossAndGlint = {{4, 3}, {3, 4}, {4, 4}, {5, 4}, {4, 5}, {11, 11}};
// Tips of the sparkle, two pixels from its centre, plus the arc.
const std::vector<Point> kSparkleTipsAndArc = {{4, 2},  {2, 4},   {6, 4},  {4, 6},
                                               {12, 9}, {12, 10}, {9, 12}, {10, 12}};

Ball yellowBall(const char* file) {
  return {file, {0xFF, 0xFF, 0x00}, {{kBlack, kDots}, {kSilver, kArc}}};
}
Ball blueBall(const char* file) {
  return {file,
          {0x00, 0x00, 0x80},
          {{{0x80, 0xFF, 0xFF}, kSparkleCrossAndGlint}, {{0x00, 0x80, 0xFF}, kSparkleTipsAndArc}}};
}
Ball brownBall(const char* file) {
  return {file,
          {0x80, 0x40, 0x00},
          {{kWhite, kSparkleCrossAndGlint}, {{0xFF, 0x80, 0x40}, kSparkleTipsAndArc}}};
}
Ball whiteBall(const char* file) { return {file, kWhite, {{kBlack, kDots}, {kSilver, kArc}}}; }

const std::vector<Ball>& allBalls() {
  static const std::vector<Ball> balls = {
      yellowBall("zluta"), blueBall("modra"),     brownBall("hneda"),
      whiteBall("bila"),   blueBall("modra_old"), brownBall("hneda_old"),
  };
  return balls;
}

// The highlight colour of (x, y), or nullptr when the pixel is not highlighted.
const Rgb* highlightAt(const Ball& ball, int x, int y) {
  for (const Highlight& h : ball.highlights) {
    for (const Point& p : h.pixels) {
      if (p.x == x && p.y == y) return &h.colour;
    }
  }
  return nullptr;
}

Picture expectedBall(const Ball& ball) {
  Picture pic{};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      switch (regionOf(x, y)) {
        case Region::Outside:
          pic[y][x] = kWhite;
          break;
        case Region::Outline:
          pic[y][x] = kBlack;
          break;
        case Region::Interior: {
          const Rgb* h = highlightAt(ball, x, y);
          pic[y][x] = h ? *h : ball.fill;
          break;
        }
      }
    }
  }
  return pic;
}

// ---------------------------------------------------------------------------
// Reading the files
// ---------------------------------------------------------------------------

std::string picturePath(const std::string& name) {
  return std::string(PELORIN_RESOURCE_DIR "/balls/") + name + ".bmp";
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot open " << path;
    return {};
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
         static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}
std::uint16_t le16(const std::vector<std::uint8_t>& d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

// Checks the headers of a 16 x 16, 24-bit, uncompressed, bottom-up BMP.
void checkHeader(const std::vector<std::uint8_t>& d) {
  ASSERT_EQ(d.size(), kFileSize);
  EXPECT_EQ(d[0], 'B');
  EXPECT_EQ(d[1], 'M');
  EXPECT_EQ(le32(d, 2), kFileSize) << "bfSize";
  EXPECT_EQ(le32(d, 10), kHeaderSize) << "bfOffBits";
  EXPECT_EQ(le32(d, 14), 40u) << "biSize";
  EXPECT_EQ(static_cast<std::int32_t>(le32(d, 18)), kSize) << "biWidth";
  EXPECT_EQ(static_cast<std::int32_t>(le32(d, 22)), kSize) << "biHeight (positive: bottom-up)";
  EXPECT_EQ(le16(d, 26), 1u) << "biPlanes";
  EXPECT_EQ(le16(d, 28), 24u) << "biBitCount";
  EXPECT_EQ(le32(d, 30), 0u) << "biCompression (BI_RGB)";
  EXPECT_EQ(le32(d, 34), kRowBytes * kSize) << "biSizeImage";
}

// Reads the pixels; the rows are stored bottom-up, each pixel as B, G, R.
Picture readPicture(const std::string& name) {
  Picture pic{};
  const std::vector<std::uint8_t> d = readFile(picturePath(name));
  if (d.size() != kFileSize) {
    ADD_FAILURE() << name << ".bmp has " << d.size() << " bytes, expected " << kFileSize;
    return pic;
  }
  for (int y = 0; y < kSize; ++y) {
    const std::size_t row = kHeaderSize + kRowBytes * static_cast<std::size_t>(kSize - 1 - y);
    for (int x = 0; x < kSize; ++x) {
      const std::size_t at = row + 3 * static_cast<std::size_t>(x);
      pic[y][x] = Rgb{d[at + 2], d[at + 1], d[at]};
    }
  }
  return pic;
}

// The pixels in which two pictures differ, as "(x, y) #RRGGBB/#RRGGBB ...".
std::string differences(const Picture& actual, const Picture& expected) {
  std::string out;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (actual[y][x] == expected[y][x]) continue;
      out += " (" + std::to_string(x) + ", " + std::to_string(y) + ") " +
             ::testing::PrintToString(actual[y][x]) + "/" +
             ::testing::PrintToString(expected[y][x]);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------
// Tests
// ---------------------------------------------------------------------------

TEST(BallRowTable, CoversEveryRowOnceWith40OutlineAnd148InteriorPixels) {
  std::array<int, kSize> seen{};
  int outline = 0;
  int interior = 0;
  int outside = 0;
  for (const RowRule& rule : rowRules()) {
    for (int y : rule.rows) ++seen[static_cast<std::size_t>(y)];
  }
  for (int count : seen) EXPECT_EQ(count, 1);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      switch (regionOf(x, y)) {
        case Region::Outline:
          ++outline;
          break;
        case Region::Interior:
          ++interior;
          break;
        case Region::Outside:
          ++outside;
          break;
      }
    }
  }
  EXPECT_EQ(outline, 40);
  EXPECT_EQ(interior, 148);
  EXPECT_EQ(outside, 68);
}

TEST(BallRowTable, DiscIsSymmetric) {
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      EXPECT_EQ(regionOf(x, y), regionOf(kSize - 1 - x, y)) << x << ", " << y;
      EXPECT_EQ(regionOf(x, y), regionOf(x, kSize - 1 - y)) << x << ", " << y;
      EXPECT_EQ(regionOf(x, y), regionOf(y, x)) << x << ", " << y;
    }
  }
}

class PictureFile : public ::testing::TestWithParam<const char*> {};

TEST_P(PictureFile, IsA16x16UncompressedBottomUp24BitBmpOf822Bytes) {
  checkHeader(readFile(picturePath(GetParam())));
}

INSTANTIATE_TEST_SUITE_P(AllPictures, PictureFile,
                         ::testing::Values("prazdna", "zluta", "modra", "hneda", "bila",
                                           "modra_old", "hneda_old"),
                         [](const auto& p) { return std::string(p.param); });

TEST(EmptyCellPicture, IsAllWhite) {
  const Picture pic = readPicture("prazdna");
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      EXPECT_EQ(pic[y][x], kWhite) << "pixel (" << x << ", " << y << ")";
    }
  }
}

class BallPicture : public ::testing::TestWithParam<Ball> {
 protected:
  Picture pic = readPicture(GetParam().file);
};

// Every pixel of `region` has `colour`; returns how many pixels the region holds.
int expectRegionColour(const Picture& pic, Region region, Rgb colour, const char* what) {
  int checked = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (regionOf(x, y) != region) continue;
      ++checked;
      EXPECT_EQ(pic[y][x], colour) << what << " pixel (" << x << ", " << y << ")";
    }
  }
  return checked;
}

TEST_P(BallPicture, OutlineIsBlack) {
  EXPECT_EQ(expectRegionColour(pic, Region::Outline, kBlack, "outline"), 40);
}

TEST_P(BallPicture, OutsideIsWhite) {
  EXPECT_EQ(expectRegionColour(pic, Region::Outside, kWhite, "outside"), 68);
}

TEST_P(BallPicture, InteriorHasTheFillColourExceptTheHighlights) {
  const Ball& ball = GetParam();
  int filled = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (regionOf(x, y) != Region::Interior || highlightAt(ball, x, y)) continue;
      ++filled;
      EXPECT_EQ(pic[y][x], ball.fill) << "interior pixel (" << x << ", " << y << ")";
    }
  }
  std::size_t highlighted = 0;
  for (const Highlight& h : ball.highlights) highlighted += h.pixels.size();
  EXPECT_EQ(static_cast<std::size_t>(filled) + highlighted, 148u);
}

TEST_P(BallPicture, HighlightPixelsLieInsideAndHaveTheirColour) {
  for (const Highlight& h : GetParam().highlights) {
    for (const Point& p : h.pixels) {
      EXPECT_EQ(regionOf(p.x, p.y), Region::Interior) << "(" << p.x << ", " << p.y << ")";
      EXPECT_EQ(pic[p.y][p.x], h.colour) << "highlight pixel (" << p.x << ", " << p.y << ")";
    }
  }
}

TEST_P(BallPicture, MatchesThePictureBuiltFromTheRules) {
  EXPECT_EQ(differences(pic, expectedBall(GetParam())), "") << "pixel (x, y) actual/expected";
}

INSTANTIATE_TEST_SUITE_P(AllBalls, BallPicture, ::testing::ValuesIn(allBalls()),
                         [](const auto& p) { return std::string(p.param.file); });

TEST(BallPictures, TheFourDrawnPicturesDifferFromEachOther) {
  const std::array<const char*, 4> drawn = {"prazdna", "zluta", "modra", "hneda"};
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    for (std::size_t j = i + 1; j < drawn.size(); ++j) {
      EXPECT_NE(differences(readPicture(drawn[i]), readPicture(drawn[j])), "")
          << drawn[i] << " and " << drawn[j] << " are the same picture";
    }
  }
}

TEST(BallPictures, OldCopiesEqualTheirOriginalsPixelForPixel) {
  EXPECT_EQ(differences(readPicture("modra_old"), readPicture("modra")), "");
  EXPECT_EQ(differences(readPicture("hneda_old"), readPicture("hneda")), "");
}

// ---------------------------------------------------------------------------
// The application icon
// ---------------------------------------------------------------------------

struct IconImage {
  int size = 0;
  std::vector<std::uint8_t> bytes;
};

std::vector<IconImage> iconImages() {
  const std::vector<std::uint8_t> d = readFile(PELORIN_RESOURCE_DIR "/icon/pelorin.ico");
  std::vector<IconImage> images;
  if (d.size() < 6) return images;
  for (std::size_t i = 0; i < le16(d, 4); ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::size_t length = le32(d, entry + 8);
    const std::size_t offset = le32(d, entry + 12);
    if (entry + 16 > d.size() || offset + length > d.size()) break;
    const auto start = d.begin() + static_cast<std::ptrdiff_t>(offset);
    images.push_back({d[entry] == 0 ? 256 : d[entry],
                      {start, start + static_cast<std::ptrdiff_t>(length)}});
  }
  return images;
}

// FNV-1a: the 32 x 32 image as the icon file held it before the other sizes came.
std::uint64_t fingerprint(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3u;
  return hash;
}

TEST(ApplicationIcon, Holds16_32_48And256WithThe32PixelImageUnchanged) {
  const std::vector<IconImage> images = iconImages();
  ASSERT_EQ(images.size(), 4u);
  for (std::size_t i = 0; i < images.size(); ++i) {
    EXPECT_EQ(images[i].size, (std::array<int, 4>{16, 32, 48, 256}[i]));
  }
  EXPECT_EQ(images[1].bytes.size(), 744u);
  EXPECT_EQ(fingerprint(images[1].bytes), 0x32c71953853d8ae1u);
  const std::vector<std::uint8_t>& big = images[3].bytes;
  ASSERT_GT(big.size(), 24u);
  EXPECT_EQ(std::string(big.begin() + 1, big.begin() + 4), "PNG");
  EXPECT_EQ(big[18] << 8 | big[19], 256) << "width";
  EXPECT_EQ(big[22] << 8 | big[23], 256) << "height";
}

}  // namespace
