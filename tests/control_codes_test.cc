#include "decode/control_codes.h"

#include <gtest/gtest.h>

#include <string>

#include "main/output.h"
#include "test_support.h"

namespace {

struct Handled {
  std::string output;
  size_t skipped;
  DecoderState state;
};

Handled handle(uint8_t code, DecoderState state) {
  uint8_t buffer[2 * MAX_CONTROL_OUTPUT];
  uint8_t* end = buffer;
  Handled h;
  h.skipped = handle_control_code(code, state, end);
  h.output = bytes_of(buffer, static_cast<size_t>(end - buffer));
  h.state = state;
  return h;
}

const std::string MARKS_4 = "\x81\x48\x81\x48\x81\x48\x81\x48";

}  // namespace

// Every code value, as the game's table lists them.
TEST(ControlCodesTest, EveryCodeHasItsBehaviour) {
  struct Row {
    unsigned first, last;
    size_t skip;
    std::string text;  // as delivered
    enum { KEEP, RESET, COUNT } line;
  } rows[] = {
      {0x00, 0x01, 0, "\r\n\r\n", Row::RESET},
      {0x02, 0x02, 0, "\r\n", Row::RESET},
      {0x03, 0x03, 1, "", Row::KEEP},
      {0x04, 0x04, 0, "", Row::KEEP},
      {0x05, 0x05, 3, "", Row::KEEP},
      {0x06, 0x07, 0, "", Row::KEEP},
      {0x08, 0x0C, 3, "", Row::KEEP},
      {0x0D, 0x0D, 0, "", Row::KEEP},
      {0x0E, 0x12, 2, "", Row::KEEP},
      {0x13, 0x13, 5, "", Row::KEEP},
      {0x14, 0x14, 6, "", Row::KEEP},
      {0x15, 0x15, 8, "", Row::KEEP},
      {0x16, 0x16, 4, "", Row::KEEP},
      {0x17, 0x17, 6, "", Row::KEEP},
      {0x18, 0x18, 8, "", Row::KEEP},
      {0x19, 0x19, 0, "", Row::KEEP},
      {0x1A, 0x1A, 0, "\x8E\xE5\x90\x6C\x8C\xF6", Row::COUNT},
      {0x1B, 0x1B, 0, MARKS_4, Row::COUNT},
      {0x1C, 0x1C, 0, "\x82\xE0\x82\xAB\x82\xE3", Row::COUNT},
      {0x1D, 0x1D, 0, MARKS_4 + "\x82\xCB\x82\xF1", Row::COUNT},
      {0x1E, 0x1E, 0, "\x81\x48\x81\x48\x82\xAA\x82\xC2", Row::COUNT},
      {0x1F, 0x1F, 0, "\x81\x48\x82\xE6\x82\xA4\x82\xD1", Row::COUNT},
      {0x20, 0x20, 0, "\x81\x48\x81\x48\x82\xC9\x82\xBF", Row::COUNT},
      {0x21, 0x21, 0, "\x82\xB2\x82\xB2\x81\x48\x81\x48\x82\xB6", Row::COUNT},
      {0x22, 0x22, 0, "\x81\x48\x81\x48\x82\xD3\x82\xF1", Row::COUNT},
      {0x23, 0x23, 0, "\x81\x48\x81\x48\x82\xD1\x82\xE5\x82\xA4", Row::COUNT},
      {0x24, 0x2E, 0, MARKS_4, Row::COUNT},
      {0x2F, 0x2F, 0, "\x91\xBA\x82\xCC\x96\xBC\x91\x4F", Row::COUNT},
      {0x30, 0x30, 0, "\x81\x48\x81\x48", Row::COUNT},
      {0x31, 0x3F, 0, MARKS_4, Row::COUNT},
      {0x40, 0x40, 0,
       "\x8E\xE8\x8E\x86\x83\x66\x81\x5B\x83\x5E\x82\xF0\x95\x5C\x8E\xA6\x0D\x0A",
       Row::RESET},
      {0x41, 0x4F, 0, "", Row::KEEP},
      {0x50, 0x50, 4, "", Row::KEEP},
      {0x51, 0x54, 1, "", Row::KEEP},
      {0x55, 0x55, 0, "", Row::KEEP},
      {0x56, 0x57, 2, "", Row::KEEP},
      {0x58, 0x58, 1, "\r\n", Row::RESET},
      {0x59, 0x5B, 1, "", Row::KEEP},
      {0x5C, 0xFF, 0, "", Row::KEEP},
  };
  unsigned next = 0;
  int writing = 0, skipping = 0, silent = 0;
  for (const Row& row : rows) {
    ASSERT_EQ(row.first, next);
    for (unsigned code = row.first; code <= row.last; ++code, ++next) {
      // From both states of the wrap flag, in the middle of a line.
      for (bool wrapped : {false, true}) {
        DecoderState before;
        before.line_items = wrapped ? 0 : 7;
        before.auto_wrapped = wrapped;
        const Handled h = handle(static_cast<uint8_t>(code), before);
        EXPECT_EQ(h.output, row.text) << std::hex << code;
        EXPECT_EQ(h.skipped, row.skip) << std::hex << code;
        const uint32_t items = row.line == Row::RESET   ? 0
                               : row.line == Row::COUNT ? before.line_items + 1
                                                        : before.line_items;
        EXPECT_EQ(h.state.line_items, items) << std::hex << code;
        // Only placeholders clear the flag; nothing sets it.
        EXPECT_EQ(h.state.auto_wrapped, wrapped && row.line != Row::COUNT)
            << std::hex << code;
      }
      // A code that writes nothing and changes no state is passed over by
      // the size of its whole item.
      const bool quiet = row.text.empty() && row.line == Row::KEEP;
      EXPECT_EQ(QUIET_ITEM_SIZE[code], quiet ? 2 + row.skip : 0) << std::hex << code;
      if (!row.text.empty()) {
        ++writing;
      } else if (row.skip > 0) {
        ++skipping;
      } else {
        ++silent;
      }
    }
  }
  EXPECT_EQ(next, 256u);
  EXPECT_EQ(writing, 43);
  EXPECT_EQ(skipping, 28);
  EXPECT_EQ(silent, 185);
}

TEST(ControlCodesTest, TheTableSortsTheCodesAsTheGameDoes) {
  int writing = 0, skipping = 0, silent = 0;
  for (unsigned code = 0; code < 256; ++code) {
    const ControlCode& c = CONTROL_CODES[code];
    EXPECT_LE(c.skip, 8) << code;
    EXPECT_LE(c.output_size, MAX_CONTROL_OUTPUT) << code;
    if (c.output_size > 0) {
      ++writing;
    } else if (c.skip > 0) {
      ++skipping;
    } else {
      ++silent;
      EXPECT_EQ(c.line, LineEffect::KEEP) << code;
      EXPECT_EQ(c.wrap, WrapEffect::KEEP) << code;
    }
  }
  EXPECT_EQ(writing, 43);
  EXPECT_EQ(skipping, 28);
  EXPECT_EQ(silent, 185);
  // Only 0x58 both skips and writes.
  EXPECT_EQ(CONTROL_CODES[0x58].skip, 1);
  EXPECT_GT(CONTROL_CODES[0x58].output_size, 0);
}

TEST(ControlCodesTest, ThePlaceholderCountCanPassTheWrapPoint) {
  // Codes never wrap: the wrap test is the decoder's, before an item.
  DecoderState state;
  state.line_items = WRAP_AT;
  const Handled h = handle(0x1A, state);
  EXPECT_EQ(h.state.line_items, WRAP_AT + 1);
  EXPECT_EQ(h.output, "\x8E\xE5\x90\x6C\x8C\xF6");
}
