#include "decode/control_codes.h"

#include <array>
#include <string>

#include "main/output.h"

namespace {

constexpr LineEffect KEEP = LineEffect::KEEP;
constexpr LineEffect RESET = LineEffect::RESET;
constexpr LineEffect COUNT = LineEffect::COUNT;
constexpr WrapEffect SAME = WrapEffect::KEEP;
constexpr WrapEffect CLEAR = WrapEffect::CLEAR;

// Shift_JIS texts of the codes that write.
constexpr const char* NONE = nullptr;
constexpr const char* MARKS_4 = "\x81\x48\x81\x48\x81\x48\x81\x48";  // ？？？？

// One row: consecutive codes of equal behaviour.
struct CodeRow {
  uint8_t first;
  uint8_t last;
  uint8_t skip;
  const char* text;
  LineEffect line;
  WrapEffect wrap;
};

// clang-format off
constexpr CodeRow CODE_ROWS[] = {
  // codes        n  text                                   line   wrap     role
  {0x00, 0x01,   0, "\n\n",                                 RESET, SAME},  // line break and an empty line
  {0x02, 0x02,   0, "\n",                                   RESET, SAME},  // line break
  {0x03, 0x03,   1, NONE,                                   KEEP,  SAME},
  {0x04, 0x04,   0, NONE,                                   KEEP,  SAME},
  {0x05, 0x05,   3, NONE,                                   KEEP,  SAME},
  {0x06, 0x07,   0, NONE,                                   KEEP,  SAME},
  {0x08, 0x0C,   3, NONE,                                   KEEP,  SAME},
  {0x0D, 0x0D,   0, NONE,                                   KEEP,  SAME},
  {0x0E, 0x12,   2, NONE,                                   KEEP,  SAME},
  {0x13, 0x13,   5, NONE,                                   KEEP,  SAME},
  {0x14, 0x14,   6, NONE,                                   KEEP,  SAME},
  {0x15, 0x15,   8, NONE,                                   KEEP,  SAME},
  {0x16, 0x16,   4, NONE,                                   KEEP,  SAME},
  {0x17, 0x17,   6, NONE,                                   KEEP,  SAME},
  {0x18, 0x18,   8, NONE,                                   KEEP,  SAME},
  {0x19, 0x19,   0, NONE,                                   KEEP,  SAME},
  {0x1A, 0x1A,   0, "\x8E\xE5\x90\x6C\x8C\xF6",             COUNT, CLEAR}, // 主人公: player name
  {0x1B, 0x1B,   0, MARKS_4,                                COUNT, CLEAR}, // ？？？？
  {0x1C, 0x1C,   0, "\x82\xE0\x82\xAB\x82\xE3",             COUNT, CLEAR}, // もきゅ: fixed word
  {0x1D, 0x1D,   0, "\x81\x48\x81\x48\x81\x48\x81\x48"
                    "\x82\xCB\x82\xF1",                     COUNT, CLEAR}, // ？？？？ねん: year
  {0x1E, 0x1E,   0, "\x81\x48\x81\x48\x82\xAA\x82\xC2",     COUNT, CLEAR}, // ？？がつ: month
  {0x1F, 0x1F,   0, "\x81\x48\x82\xE6\x82\xA4\x82\xD1",     COUNT, CLEAR}, // ？ようび: weekday
  {0x20, 0x20,   0, "\x81\x48\x81\x48\x82\xC9\x82\xBF",     COUNT, CLEAR}, // ？？にち: day
  {0x21, 0x21,   0, "\x82\xB2\x82\xB2\x81\x48\x81\x48"
                    "\x82\xB6",                             COUNT, CLEAR}, // ごご？？じ: PM hour
  {0x22, 0x22,   0, "\x81\x48\x81\x48\x82\xD3\x82\xF1",     COUNT, CLEAR}, // ？？ふん: minute
  {0x23, 0x23,   0, "\x81\x48\x81\x48\x82\xD1\x82\xE5"
                    "\x82\xA4",                             COUNT, CLEAR}, // ？？びょう: second
  {0x24, 0x2E,   0, MARKS_4,                                COUNT, CLEAR}, // ？？？？
  {0x2F, 0x2F,   0, "\x91\xBA\x82\xCC\x96\xBC\x91\x4F",     COUNT, CLEAR}, // 村の名前: village name
  {0x30, 0x30,   0, "\x81\x48\x81\x48",                     COUNT, CLEAR}, // ？？
  {0x31, 0x3F,   0, MARKS_4,                                COUNT, CLEAR}, // ？？？？
  {0x40, 0x40,   0, "\x8E\xE8\x8E\x86\x83\x66\x81\x5B\x83\x5E"
                    "\x82\xF0\x95\x5C\x8E\xA6\n",           RESET, SAME},  // 手紙データを表示: letter display
  {0x41, 0x4F,   0, NONE,                                   KEEP,  SAME},
  {0x50, 0x50,   4, NONE,                                   KEEP,  SAME},
  {0x51, 0x54,   1, NONE,                                   KEEP,  SAME},
  {0x55, 0x55,   0, NONE,                                   KEEP,  SAME},
  {0x56, 0x57,   2, NONE,                                   KEEP,  SAME},
  {0x58, 0x58,   1, "\n",                                   RESET, SAME},  // line break after its argument
  {0x59, 0x5B,   1, NONE,                                   KEEP,  SAME},
  {0x5C, 0xFF,   0, NONE,                                   KEEP,  SAME},
};
// clang-format on

// The rows run from 0x00 to 0xFF in order, each beginning right after the
// one before it, so every code value has exactly one row.
constexpr bool rows_cover_every_code() {
  unsigned next = 0;
  for (const CodeRow& row : CODE_ROWS) {
    if (row.first != next || row.last < row.first) return false;
    next = row.last + 1u;
  }
  return next == 256;
}
static_assert(rows_cover_every_code(), "each code value needs one row");

// Spreads the rows over one entry per code value, each with its text
// translated as the output needs it.
constexpr std::array<ControlCode, 256> expand_rows() {
  std::array<ControlCode, 256> codes{};
  for (const CodeRow& row : CODE_ROWS) {
    for (unsigned code = row.first; code <= row.last; ++code) {
      ControlCode& c = codes[code];
      c.skip = row.skip;
      c.line = row.line;
      c.wrap = row.wrap;
      if (row.text != nullptr) {
        c.output_size = static_cast<uint8_t>(translate_line_ends(
            row.text, std::char_traits<char>::length(row.text), c.output));
      }
    }
  }
  return codes;
}

// The item sizes of the codes that only skip their arguments (or do nothing):
// no text, no line effect, no wrap effect.
constexpr std::array<uint8_t, 256> quiet_item_sizes(
    const std::array<ControlCode, 256>& codes) {
  std::array<uint8_t, 256> sizes{};
  for (size_t code = 0; code < 256; ++code) {
    const ControlCode& c = codes[code];
    const bool quiet = c.output_size == 0 && c.line == KEEP && c.wrap == SAME;
    sizes[code] = quiet ? static_cast<uint8_t>(2 + c.skip) : 0;
  }
  return sizes;
}

constexpr size_t longest_output(const std::array<ControlCode, 256>& codes) {
  size_t longest = 0;
  for (const ControlCode& c : codes) {
    if (c.output_size > longest) longest = c.output_size;
  }
  return longest;
}

}  // namespace

constexpr std::array<ControlCode, 256> CONTROL_CODES = expand_rows();
static_assert(longest_output(CONTROL_CODES) == MAX_CONTROL_OUTPUT, "");
constexpr std::array<uint8_t, 256> QUIET_ITEM_SIZE = quiet_item_sizes(CONTROL_CODES);
