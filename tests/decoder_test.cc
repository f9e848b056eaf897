#include "decode/decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "main/output.h"
#include "test_support.h"

namespace {

// Glyphs are printable ASCII (see ascii_table), so a line reads as text.
const std::string G15 = "abcdefghijklmno";
const std::string G16 = G15 + "p";
const std::string BRK = "\xCD";
const std::string ESC = "\x7F";
const std::string PLAYER = "\x8E\xE5\x90\x6C\x8C\xF6";  // 主人公
const std::string YEAR = "\x81\x48\x81\x48\x81\x48\x81\x48\x82\xCB\x82\xF1";

// Two glyphs of a special kind: 0x01 has an empty text, 0x02 holds "A\n".
CharTable test_table() {
  CharTable table = ascii_table();
  table.cells[0x02].text[0] = 'A';
  table.cells[0x02].text[1] = 0x0A;
  return table;
}

struct Decoded {
  std::string output;
  DecodeEnd end;
};

// Decodes `region` as a whole region; `after` holds the bytes the image has
// after it, and `missing` cuts the image that many bytes before its end.
Decoded decode(const std::string& region, const std::string& after = "",
               size_t missing = 0) {
  const std::string image = region + after;
  MemorySink sink;
  Output out(sink);
  const CharTable table = test_table();
  Decoded d;
  d.end = decode_region(reinterpret_cast<const uint8_t*>(image.data()),
                        image.size() - missing, region.size(), table, out);
  out.finish();
  d.output = sink.bytes;
  return d;
}

struct Case {
  const char* what;
  std::string region;
  std::string output;  // before line-end translation
};

void expect_cases(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c) {
    const Decoded d = decode(c->region, "x");
    EXPECT_EQ(d.output, crlf(c->output)) << c->what;
    EXPECT_EQ(d.end, DecodeEnd::COMPLETE) << c->what;
  }
}

}  // namespace

TEST(DecoderTest, GlyphsBreaksAndTheAutomaticWrap) {
  const Case cases[] = {
      {"a break first writes a line end", BRK + "a", "\na"},
      {"empty cells count", "a\x01" "b", "ab"},
      {"16 glyphs then break and glyph: one line end", G16 + BRK + "q", G16 + "\nq"},
      {"16 glyphs then two breaks: an empty line", G16 + BRK + BRK, G16 + "\n\n"},
      {"17 glyphs then break: one line", G16 + "q" + BRK, G16 + "q\n"},
      {"18 glyphs then break", G16 + "qr" + BRK, G16 + "\nqr\n"},
      {"32 glyphs, break, glyph", G16 + G16 + BRK + "z", G16 + "\n" + G16 + "\nz"},
      {"33 glyphs then break", G16 + G16 + "q" + BRK, G16 + "\n" + G16 + "q\n"},
      {"16 empty cells still wrap", std::string(16, '\x01') + "ab", "\nab"},
      {"a line feed in a cell does not reset the count",
       G15 + "\x02" + "qr", G15 + "A\n\nqr"},
  };
  expect_cases(std::begin(cases), std::end(cases));
}

TEST(DecoderTest, ControlItemsAndTheWrap) {
  const Case cases[] = {
      {"wrap before a line-ending code; the break after it is swallowed",
       G16 + ESC + "\x02" + BRK + "q", G16 + "\n\nq"},
      {"wrap before a two-line-end code", G16 + ESC + std::string(1, '\0') + BRK,
       G16 + "\n\n\n"},
      {"a skipping code after the wrap keeps the swallow", G16 + ESC + "\x03" + "Z" + BRK,
       G16 + "\n"},
      {"several skipping codes keep it too",
       G16 + ESC + "\x05" + "xyz" + ESC + "\x50" + "1234" + ESC + "\x99" + BRK + "q",
       G16 + "\nq"},
      {"the lookahead sees the code byte, not the glyph after it",
       G16 + ESC + "\x03" + "Z" + "q" + BRK, G16 + "\nq\n"},
      {"a placeholder after the wrap clears the swallow", G16 + ESC + "\x1A" + BRK,
       G16 + "\n" + PLAYER + "\n"},
      {"a placeholder counts one item", G15 + ESC + "\x1A" + "q" + BRK,
       G15 + PLAYER + "q\n"},
      {"a long placeholder as 16th item still wraps", G15 + ESC + "\x1D" + "qr",
       G15 + YEAR + "\nqr"},
      {"escape then 0xCD: lookahead finds a break, no wrap on that line",
       G16 + ESC + BRK + G16 + G16 + BRK, G16 + G16 + G16 + "\n"},
      {"skipping codes do not count", G15 + ESC + "\x03" + "Z" + "pq" + BRK,
       G15 + "pq\n"},
      {"arguments are never decoded", ESC + "\x58" + "A" + "b", "\nb"},
      {"0xCD as a code byte breaks nothing", "a" + ESC + BRK + "b", "ab"},
      {"0x7F as a code byte escapes nothing", ESC + ESC + "b", "b"},
      {"five argument bytes skipped unread", ESC + "\x13" + std::string(5, '\xCD') + "b", "b"},
      {"the longest control item", ESC + "\x15" + std::string(8, '\x7F') + "b", "b"},
  };
  expect_cases(std::begin(cases), std::end(cases));
}

TEST(DecoderTest, TheWalkEndsWithTheItemHoldingTheRegionsLastByte) {
  struct EndCase {
    const char* what;
    std::string region, after, output;
  } cases[] = {
      {"an escape as last byte takes its code byte from beyond the region",
       "ab" + ESC, "\x1A" "cd", "ab" + PLAYER},
      {"arguments past the region are skipped, not decoded", "a" + ESC + "\x05" "x",
       "yz" + G16, "a"},
      {"the lookahead at the last item reads past the region: break", G16 + "q",
       BRK, G16 + "q"},
      {"the lookahead at the last item reads past the region: glyph", G16 + "q",
       "r", G16 + "\nq"},
      {"no line end is added after the last item", "ab", "", "ab"},
  };
  for (const EndCase& c : cases) {
    const Decoded d = decode(c.region, c.after);
    EXPECT_EQ(d.output, crlf(c.output)) << c.what;
    EXPECT_EQ(d.end, DecodeEnd::COMPLETE) << c.what;
  }
}

TEST(DecoderTest, BytesTheImageLacksBeyondTheRegionReadAsEndOfFile) {
  struct EndCase {
    const char* what;
    std::string region, output;
  } cases[] = {
      {"a missing lookahead is no break: the wrap happens", G16 + "q", G16 + "\nq"},
      {"a missing code byte does nothing", "ab" + ESC, "ab"},
      {"missing arguments past the region", "a" + ESC + "\x15", "a"},
  };
  for (const EndCase& c : cases) {
    const Decoded d = decode(c.region);
    EXPECT_EQ(d.output, crlf(c.output)) << c.what;
    EXPECT_EQ(d.end, DecodeEnd::COMPLETE) << c.what;
  }
}

TEST(DecoderTest, AnImageEndingInsideTheRegionStopsBeforeTheMissingItem) {
  struct TruncCase {
    const char* what;
    std::string region;
    size_t missing;
    std::string output;
  } cases[] = {
      {"nothing of the region", "abc", 3, ""},
      {"the walk stops where the image ends", "abcdef", 3, "abc"},
      {"no wrap test for the missing item", G16 + "qr", 2, G16},
      {"a missing lookahead inside the region is no break", G16 + "qr", 1, G16 + "\nq"},
      {"a missing code byte inside the region", "ab" + ESC + "\x1A" "c", 2, "ab"},
      {"arguments that run past the image's end", "a" + ESC + "\x05" "xyzb", 3, "a"},
  };
  for (const TruncCase& c : cases) {
    const Decoded d = decode(c.region, "", c.missing);
    EXPECT_EQ(d.output, crlf(c.output)) << c.what;
    EXPECT_EQ(d.end, DecodeEnd::TRUNCATED) << c.what;
  }
}

TEST(DecoderTest, AnItemThatEndsAtTheImagesEndInsideTheRegionIsComplete) {
  // The image ends inside the region, but the last item's arguments reach
  // past REGION_LAST: no item of the region is missing.
  const Decoded d = decode("a" + ESC + "\x05" "x", "", 1);
  EXPECT_EQ(d.output, "a");
  EXPECT_EQ(d.end, DecodeEnd::COMPLETE);
}

TEST(DecoderTest, CellTextsAreWrittenAsStoredWithTheirLineFeedsTranslated) {
  uint8_t file[TABLE_FILE_BYTES] = {};
  const uint8_t cells[][3] = {{0x10, 0x82, 0xA0}, {0x11, 0x0A, 0x00}, {0x12, 0x0D, 0x0A},
                              {0x13, 0x0A, 0x0A}, {0x14, 0xB1, 0x00}, {0x7F, 'E', 0},
                              {0xCD, 'B', 0}};
  for (const auto& c : cells) {
    file[2 * c[0]] = c[1];
    file[2 * c[0] + 1] = c[2];
  }
  CharTable table;
  load_char_table(file, sizeof file, table);
  const std::string region = "\x10\x11\x12\x13\x14\xCD\x7F\x04";
  MemorySink sink;
  Output out(sink);
  decode_region(reinterpret_cast<const uint8_t*>(region.data()), region.size(),
                region.size(), table, out);
  out.finish();
  EXPECT_EQ(sink.bytes, "\x82\xA0\r\n\r\r\n\r\n\r\n\xB1\r\n");
}

TEST(DecoderTest, TheMessagesBeginWithTheSymbolLegend) {
  const std::string legend =
      "\x0A\x81\xA5\x3A\x83\x6E\x81\x5B\x83\x67\x0A\x90\x85\x3A\x82\xB5\x82\xB8"
      "\x82\xAD\x82\xE0\x82\xE6\x82\xA4\x0A\x8B\xD8\x3A\x90\xC2\x8B\xD8\x83\x7D"
      "\x81\x5B\x83\x4E\x0A\x8A\xE7\x3A\x8A\xE7\x83\x7D\x81\x5B\x83\x4E\x0A";
  ASSERT_EQ(legend.size(), 53u);
  EXPECT_EQ(std::string(SYMBOL_LEGEND, SYMBOL_LEGEND_SIZE), legend);

  MemorySink sink;
  Output out(sink);
  const CharTable table = test_table();
  const uint8_t region[] = {'a'};
  EXPECT_EQ(decode_messages(region, sizeof region, table, out), DecodeEnd::TRUNCATED);
  out.finish();
  EXPECT_EQ(sink.bytes, crlf(legend) + "a");
}

TEST(DecoderTest, RegionBoundsCoverTheMessageText) {
  EXPECT_EQ(REGION_SIZE, 1348798u);
  EXPECT_EQ(REGION_READ_BYTES, REGION_SIZE + 1);
}
