// Checks of the test-data generator itself: the data the tool's tests rely on
// must have the shape they assume.
#include "image_maker.h"

#include "decode/control_codes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testdata::control_arg_count;

enum class Kind { GLYPH, BREAK, CONTROL };

struct Item {
  Kind kind;
  size_t offset;  // of the item's first byte
  size_t size;    // bytes the item has, including any past the data's end
  uint8_t code;   // CONTROL only
};

// Splits `bytes` into items from offset 0 on. The last item may reach past
// the end when the data cuts it.
std::vector<Item> walk(const std::vector<uint8_t>& bytes, size_t begin = 0,
                       size_t end = SIZE_MAX) {
  if (end > bytes.size()) end = bytes.size();
  std::vector<Item> items;
  size_t pos = begin;
  while (pos < end) {
    const uint8_t b = bytes[pos];
    if (b == ESCAPE_BYTE) {
      const uint8_t code = pos + 1 < bytes.size() ? bytes[pos + 1] : 0;
      const size_t size = 2 + control_arg_count(code);
      items.push_back({Kind::CONTROL, pos, size, code});
      pos += size;
    } else {
      items.push_back({b == BREAK_BYTE ? Kind::BREAK : Kind::GLYPH, pos, 1, 0});
      pos += 1;
    }
  }
  return items;
}

bool header_passes(const std::vector<uint8_t>& image) {
  return image.size() >= 0x40 && image[0x08] == 0x80 && image[0x20] == 'Z' &&
         image[0x21] == 'I' && image[0x22] == 'R' && image[0x23] == 'E' &&
         image[0x3F] == 0x00;
}

uint64_t fnv1a(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xCBF29CE484222325u;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001B3u;
  }
  return h;
}

std::string record_text(const std::vector<uint8_t>& table, size_t code) {
  std::string text;
  for (size_t i = 0; i < 2 && table[2 * code + i] != 0; ++i) {
    text += static_cast<char>(table[2 * code + i]);
  }
  return text;
}

bool is_sjis_lead(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

bool is_sjis_trail(uint8_t b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

TEST(ArgCount, LongestItemIsTenBytes) {
  size_t longest = 0;
  for (int c = 0; c < 256; ++c) {
    longest = std::max(longest, control_arg_count(static_cast<uint8_t>(c)));
  }
  EXPECT_EQ(longest, 8u);
  EXPECT_EQ(control_arg_count(ESCAPE_BYTE), 0u);
  EXPECT_EQ(control_arg_count(BREAK_BYTE), 0u);
}

TEST(MakeImage, HeaderPassesAndRestIsZero) {
  const std::vector<uint8_t> image = testdata::make_image(0x100);
  ASSERT_EQ(image.size(), 0x100u);
  EXPECT_TRUE(header_passes(image));
  size_t nonzero = 0;
  for (uint8_t b : image) nonzero += b != 0;
  EXPECT_EQ(nonzero, 5u);  // 0x80 and "ZIRE"
}

TEST(MakeImage, ShortSizeCutsTheHeader) {
  const std::vector<uint8_t> image = testdata::make_image(0x22);
  ASSERT_EQ(image.size(), 0x22u);
  EXPECT_EQ(image[0x08], 0x80);
  EXPECT_EQ(image[0x20], 'Z');
  EXPECT_EQ(image[0x21], 'I');
  EXPECT_TRUE(testdata::make_image(0).empty());
}

TEST(PlaceRegion, WritesAtRegionStartAndGrows) {
  std::vector<uint8_t> image = testdata::make_image(0x40);
  testdata::place_region(image, {1, 2, 3}, 5);
  ASSERT_EQ(image.size(), REGION_FIRST + 8u);
  EXPECT_EQ(image[REGION_FIRST + 4], 0);
  EXPECT_EQ(image[REGION_FIRST + 5], 1);
  EXPECT_EQ(image[REGION_FIRST + 7], 3);
  EXPECT_TRUE(header_passes(image));
  // A write inside the image leaves its size alone.
  testdata::place_region(image, {9}, 0);
  EXPECT_EQ(image.size(), REGION_FIRST + 8u);
  EXPECT_EQ(image[REGION_FIRST], 9);
}

TEST(TextLikeRegion, SameSeedSameBytesAndShorterIsPrefix) {
  const std::vector<uint8_t> a = testdata::text_like_region(100000, 7);
  EXPECT_EQ(a, testdata::text_like_region(100000, 7));
  EXPECT_NE(a, testdata::text_like_region(100000, 8));
  const std::vector<uint8_t> shorter = testdata::text_like_region(777, 7);
  ASSERT_EQ(shorter.size(), 777u);
  EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), a.begin()));
  EXPECT_TRUE(testdata::text_like_region(0, 7).empty());
}

// Benchmarks and expected outputs are recorded for these bytes; they must
// not change with platform, compiler or an edit of the generator.
TEST(TextLikeRegion, BytesArePinned) {
  EXPECT_EQ(fnv1a(testdata::text_like_region(4096, 1)), 0x361C84DADC0A40A0u);
}

TEST(TextLikeRegion, FullRegionHasTheShapeOfText) {
  const std::vector<uint8_t> region =
      testdata::text_like_region(REGION_SIZE, 1);
  ASSERT_EQ(region.size(), REGION_SIZE);
  const std::vector<Item> items = walk(region);

  size_t breaks = 0, controls = 0, glyphs_on_line = 0, lines = 0;
  std::set<uint8_t> codes, glyph_values;
  for (const Item& item : items) {
    switch (item.kind) {
      case Kind::GLYPH:
        ++glyphs_on_line;
        glyph_values.insert(region[item.offset]);
        break;
      case Kind::CONTROL:
        ++controls;
        codes.insert(item.code);
        break;
      case Kind::BREAK:
        // A walk out of step with the generator (a wrong argument count, an
        // escape among the glyphs) would soon give lines of other lengths.
        ASSERT_GE(glyphs_on_line, 15u) << "line ending at " << item.offset;
        ASSERT_LE(glyphs_on_line, 33u) << "line ending at " << item.offset;
        ++breaks;
        ++lines;
        glyphs_on_line = 0;
        break;
    }
  }
  EXPECT_LE(glyphs_on_line, 33u);

  // The last item may be cut, but by no more than it has.
  const Item& last = items.back();
  EXPECT_LT(last.offset, REGION_SIZE);
  EXPECT_GE(last.offset + last.size, REGION_SIZE);

  // One break per line of 15 to 33 glyphs plus about 3.4 control items of
  // 2.3 bytes: about 3 % of the bytes.
  const double break_share = static_cast<double>(breaks) / REGION_SIZE;
  EXPECT_GT(break_share, 0.027);
  EXPECT_LT(break_share, 0.034);
  const double control_share = static_cast<double>(controls) / items.size();
  EXPECT_GT(control_share, 0.115);
  EXPECT_LT(control_share, 0.125);
  EXPECT_EQ(codes.size(), 256u);
  EXPECT_EQ(glyph_values.size(), 254u);
  EXPECT_EQ(glyph_values.count(ESCAPE_BYTE), 0u);
  EXPECT_EQ(glyph_values.count(BREAK_BYTE), 0u);
}

TEST(TextImage, RegionIsTheStreamAndCutItemIsComplete) {
  const std::vector<uint8_t> image = testdata::text_image(3);
  ASSERT_EQ(image.size(), testdata::FULL_IMAGE_SIZE);
  EXPECT_TRUE(header_passes(image));
  const std::vector<uint8_t> region =
      testdata::text_like_region(REGION_SIZE, 3);
  EXPECT_TRUE(std::equal(region.begin(), region.end(),
                         image.begin() + REGION_FIRST));
  // The item holding the region's last byte lies whole in the image and
  // continues the stream.
  const std::vector<Item> items = walk(image, REGION_FIRST, REGION_LAST + 1);
  const Item& last = items.back();
  const std::vector<uint8_t> longer =
      testdata::text_like_region(last.offset + last.size - REGION_FIRST, 3);
  EXPECT_TRUE(std::equal(longer.begin(), longer.end(),
                         image.begin() + REGION_FIRST));
  for (size_t i = REGION_FIRST + REGION_SIZE + 16; i < image.size(); ++i) {
    ASSERT_EQ(image[i], 0) << i;
  }
}

TEST(DemoTable, HoldsTheSymbolSubstitutesAndValidTexts) {
  const std::vector<uint8_t> table = testdata::demo_table();
  ASSERT_EQ(table.size(), TABLE_FILE_BYTES);
  std::set<std::string> texts;
  size_t empty = 0;
  for (size_t code = 0; code < 256; ++code) {
    const std::string text = record_text(table, code);
    if (text.empty()) {
      ++empty;
      EXPECT_EQ(table[2 * code + 1], 0) << code;
      continue;
    }
    const uint8_t first = static_cast<uint8_t>(text[0]);
    if (text.size() == 2) {
      EXPECT_TRUE(is_sjis_lead(first)) << code;
      EXPECT_TRUE(is_sjis_trail(static_cast<uint8_t>(text[1]))) << code;
    } else {
      EXPECT_TRUE(first >= 0x20 && first < 0x7F) << code;
    }
    EXPECT_TRUE(texts.insert(text).second) << "text twice, code " << code;
  }
  EXPECT_GE(empty, 2u);
  for (const char* symbol : {"\x81\xA5", "\x90\x85", "\x8B\xD8", "\x8A\xE7"}) {
    EXPECT_EQ(texts.count(symbol), 1u);
  }
  // Known Shift_JIS anchors for the blocks.
  EXPECT_EQ(testdata::demo_sjis(u8"あん"), "\x82\xA0\x82\xF1");
  EXPECT_EQ(testdata::demo_sjis(u8"アン"), "\x83\x41\x83\x93");
  EXPECT_EQ(testdata::demo_sjis(u8"　。、！"), "\x81\x40\x81\x42\x81\x41\x81\x49");
  EXPECT_EQ(testdata::demo_sjis(u8"Az9"), "Az9");
}

TEST(DemoTable, EncodingAgreesWithTheTable) {
  const std::vector<uint8_t> table = testdata::demo_table();
  const std::string text = u8"今日は、Zirel！\nコンニチハ▼水筋顔";
  const std::vector<uint8_t> codes = testdata::encode_demo(text);
  std::string looked_up;
  for (uint8_t code : codes) {
    ASSERT_NE(code, ESCAPE_BYTE);
    looked_up +=
        code == BREAK_BYTE ? std::string("\n") : record_text(table, code);
  }
  EXPECT_EQ(looked_up, testdata::demo_sjis(text));
  EXPECT_EQ(codes.size(), 20u);
  EXPECT_THROW(testdata::encode_demo(u8"ガ"), std::invalid_argument);
  EXPECT_THROW(testdata::demo_sjis("\xE3\x81"), std::invalid_argument);
}

TEST(DemoRegion, ShowsWhatTheDemoPromises) {
  const std::vector<uint8_t> region = testdata::demo_region();
  const std::vector<Item> items = walk(region);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back().offset + items.back().size, region.size());
  EXPECT_EQ(items.back().kind, Kind::CONTROL);
  EXPECT_EQ(items.back().code, 0x00);

  std::set<uint8_t> codes;
  // Longest run of glyphs, and whether a 17-glyph run ends in a break.
  size_t run = 0, longest = 0;
  bool seventeen_then_break = false;
  for (const Item& item : items) {
    if (item.kind == Kind::GLYPH) {
      ++run;
      continue;
    }
    if (item.kind == Kind::BREAK && run == 17) seventeen_then_break = true;
    if (item.kind == Kind::CONTROL) codes.insert(item.code);
    longest = std::max(longest, run);
    if (item.kind == Kind::BREAK ||
        (item.kind == Kind::CONTROL && item.code == 0x00)) {
      run = 0;
    }
  }
  EXPECT_TRUE(seventeen_then_break);
  EXPECT_GT(longest, 17u);
  for (uint8_t code : {0x00, 0x05, 0x1A, 0x1D, 0x21, 0x2F, 0x40}) {
    EXPECT_EQ(codes.count(code), 1u) << int(code);
  }
}

TEST(DemoImage, DemoTextThenOnlyNoActionItemsToTheRegionsEnd) {
  const std::vector<uint8_t> image = testdata::demo_image();
  ASSERT_EQ(image.size(), testdata::FULL_IMAGE_SIZE);
  EXPECT_TRUE(header_passes(image));
  const std::vector<uint8_t> demo = testdata::demo_region();
  ASSERT_TRUE(
      std::equal(demo.begin(), demo.end(), image.begin() + REGION_FIRST));

  const std::vector<Item> items =
      walk(image, REGION_FIRST + demo.size(), REGION_LAST + 1);
  ASSERT_FALSE(items.empty());
  for (const Item& item : items) {
    ASSERT_EQ(item.kind, Kind::CONTROL) << item.offset;
    ASSERT_EQ(item.code, 0x04) << item.offset;
    ASSERT_EQ(item.size, 2u);
  }
  const Item& last = items.back();
  EXPECT_LE(last.offset, REGION_LAST);
  EXPECT_GE(last.offset + last.size, REGION_LAST + 1u);
  EXPECT_LT(last.offset + 1, image.size());
}

TEST(BenchTable, MixesAllKindsOfCells) {
  const std::vector<uint8_t> table = testdata::bench_table();
  ASSERT_EQ(table.size(), TABLE_FILE_BYTES);
  size_t two = 0, one = 0, empty = 0, line_end = 0;
  for (size_t code = 0; code < 256; ++code) {
    const std::string text = record_text(table, code);
    (text.size() == 2 ? two : text.size() == 1 ? one : empty) += 1;
    if (text.find('\n') != std::string::npos) ++line_end;
  }
  EXPECT_GT(two, 0u);
  EXPECT_GT(one, 0u);
  EXPECT_GT(empty, 0u);
  EXPECT_GT(line_end, 0u);
}

TEST(WriteFile, WritesBytesAndReportsFailure) {
  const std::string path = testing::TempDir() + "image_maker_test.bin";
  const std::vector<uint8_t> bytes = {0x00, 0x0A, 0x0D, 0x1A, 0xFF};
  ASSERT_TRUE(testdata::write_file(path, bytes));
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> back((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  EXPECT_EQ(back, bytes);
  EXPECT_FALSE(testdata::write_file(testing::TempDir(), bytes));
}

}  // namespace

// The generator keeps its own list of argument counts, so that made images
// check the tool's table rather than repeat it; the two must agree.
TEST(ImageMakerTest, ArgumentCountsAgreeWithTheToolsControlCodes) {
  for (unsigned code = 0; code < 256; ++code) {
    EXPECT_EQ(testdata::control_arg_count(static_cast<uint8_t>(code)),
              CONTROL_CODES[code].skip) << code;
  }
}

// The demo table the project ships is the one the generator makes.
TEST(ImageMakerTest, TheShippedDemoTableIsTheGeneratedOne) {
  std::ifstream in(std::string(ZIREL_DEMO_DIR) + "/zirel.tbl", std::ios::binary);
  const std::vector<uint8_t> shipped((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  EXPECT_EQ(shipped, testdata::demo_table());
}
