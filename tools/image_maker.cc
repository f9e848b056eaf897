#include "image_maker.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <stdexcept>

namespace testdata {

namespace {

// Offsets and values of the header bytes the tool checks.
constexpr size_t FORMAT_OFFSET = 0x08;
constexpr uint8_t FORMAT_BYTE = 0x80;
constexpr size_t TITLE_OFFSET = 0x20;
constexpr char TITLE[] = "ZIRE";
constexpr size_t VERSION_OFFSET = 0x3F;
constexpr uint8_t VERSION_BYTE = 0x00;

// A code without any action: no text, no argument, no effect on the line.
constexpr uint8_t NO_ACTION_CODE = 0x04;

// SplitMix64: a small generator whose output is fixed by its definition.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    state_ += 0x9E3779B97F4A7C15u;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  // A number in [0, n), from the top 32 bits by multiply and shift.
  uint32_t below(uint32_t n) {
    return static_cast<uint32_t>(((next() >> 32) * n) >> 32);
  }

 private:
  uint64_t state_;
};

// Line lengths of the text-like region, in glyphs.
constexpr uint32_t MIN_LINE_GLYPHS = 15;
constexpr uint32_t MAX_LINE_GLYPHS = 33;
// Before each glyph and before each break, a control item comes with
// probability 3/22; then 3 of every 25 items are control items (12 %).
constexpr uint32_t CONTROL_CHANCE = 3;
constexpr uint32_t CONTROL_OUT_OF = 22;

void append_control_item(std::vector<uint8_t>& out, Random& random) {
  const uint8_t code = static_cast<uint8_t>(random.below(256));
  out.push_back(ESCAPE_BYTE);
  out.push_back(code);
  for (size_t i = control_arg_count(code); i > 0; --i) {
    out.push_back(static_cast<uint8_t>(random.below(256)));
  }
}

// A glyph byte: one of the 254 values other than ESCAPE_BYTE and BREAK_BYTE.
uint8_t random_glyph(Random& random) {
  uint32_t b = random.below(254);
  if (b >= ESCAPE_BYTE) ++b;
  if (b >= BREAK_BYTE) ++b;
  return static_cast<uint8_t>(b);
}

// One cell of the demo table: the character in UTF-8 (empty for an empty
// cell) and its record bytes.
struct DemoCell {
  const char* utf8;
  uint8_t record[2];
};

// The demo table. Codes by block (Shift_JIS in brackets):
//
//   0x00-0x52  hiragana ぁあぃい ... をん, in Shift_JIS order: code k is
//              [82, 9F + k], so あ = 0x01, か = 0x0A, ん = 0x52
//   0x53-0x5B  full-width punctuation: 0x53 full-width space [81 40],
//              0x54 、[81 41], 0x55 。[81 42], 0x56 ！[81 49], 0x57 ？[81 48],
//              0x58 ー [81 5B], 0x59 「 [81 75], 0x5A 」 [81 76],
//              0x5B ・ [81 45]
//   0x5C-0x5F  the symbols' substitutes: 0x5C ▼ [81 A5], 0x5D 水 [90 85],
//              0x5E 筋 [8B D8], 0x5F 顔 [8A E7]
//   0x60-0x7E  kanji: 今日年月時分朝昼夜天気雨村人名前
//                     手紙来行見山川森花木家海私元大
//   0x7F       (the escape; never a glyph) × [81 7E]
//   0x80-0x89  ASCII digits '0'-'9', one byte each
//   0x8A-0xA3  ASCII 'A'-'Z'
//   0xA4-0xBD  ASCII 'a'-'z'
//   0xBE-0xC8  ASCII space ! ? . , - ' : / ( )
//   0xC9-0xCC  empty cells (glyphs that write nothing)
//   0xCD       (the line break; never a glyph) ※ [81 A6]
//   0xCE-0xFF  katakana アイウエオ カキクケコ サシスセソ タチツテト ナニヌネノ
//                       ハヒフヘホ マミムメモ ヤユヨ ラリルレロ ワヲン ッャュョ
//
// Every character stands in one cell only, so a text has one encoding.
const DemoCell DEMO_CELLS[256] = {
    /* 0x00 */ {u8"ぁ", {0x82, 0x9F}}, {u8"あ", {0x82, 0xA0}},
    /* 0x02 */ {u8"ぃ", {0x82, 0xA1}}, {u8"い", {0x82, 0xA2}},
    /* 0x04 */ {u8"ぅ", {0x82, 0xA3}}, {u8"う", {0x82, 0xA4}},
    /* 0x06 */ {u8"ぇ", {0x82, 0xA5}}, {u8"え", {0x82, 0xA6}},
    /* 0x08 */ {u8"ぉ", {0x82, 0xA7}}, {u8"お", {0x82, 0xA8}},
    /* 0x0A */ {u8"か", {0x82, 0xA9}}, {u8"が", {0x82, 0xAA}},
    /* 0x0C */ {u8"き", {0x82, 0xAB}}, {u8"ぎ", {0x82, 0xAC}},
    /* 0x0E */ {u8"く", {0x82, 0xAD}}, {u8"ぐ", {0x82, 0xAE}},
    /* 0x10 */ {u8"け", {0x82, 0xAF}}, {u8"げ", {0x82, 0xB0}},
    /* 0x12 */ {u8"こ", {0x82, 0xB1}}, {u8"ご", {0x82, 0xB2}},
    /* 0x14 */ {u8"さ", {0x82, 0xB3}}, {u8"ざ", {0x82, 0xB4}},
    /* 0x16 */ {u8"し", {0x82, 0xB5}}, {u8"じ", {0x82, 0xB6}},
    /* 0x18 */ {u8"す", {0x82, 0xB7}}, {u8"ず", {0x82, 0xB8}},
    /* 0x1A */ {u8"せ", {0x82, 0xB9}}, {u8"ぜ", {0x82, 0xBA}},
    /* 0x1C */ {u8"そ", {0x82, 0xBB}}, {u8"ぞ", {0x82, 0xBC}},
    /* 0x1E */ {u8"た", {0x82, 0xBD}}, {u8"だ", {0x82, 0xBE}},
    /* 0x20 */ {u8"ち", {0x82, 0xBF}}, {u8"ぢ", {0x82, 0xC0}},
    /* 0x22 */ {u8"っ", {0x82, 0xC1}}, {u8"つ", {0x82, 0xC2}},
    /* 0x24 */ {u8"づ", {0x82, 0xC3}}, {u8"て", {0x82, 0xC4}},
    /* 0x26 */ {u8"で", {0x82, 0xC5}}, {u8"と", {0x82, 0xC6}},
    /* 0x28 */ {u8"ど", {0x82, 0xC7}}, {u8"な", {0x82, 0xC8}},
    /* 0x2A */ {u8"に", {0x82, 0xC9}}, {u8"ぬ", {0x82, 0xCA}},
    /* 0x2C */ {u8"ね", {0x82, 0xCB}}, {u8"の", {0x82, 0xCC}},
    /* 0x2E */ {u8"は", {0x82, 0xCD}}, {u8"ば", {0x82, 0xCE}},
    /* 0x30 */ {u8"ぱ", {0x82, 0xCF}}, {u8"ひ", {0x82, 0xD0}},
    /* 0x32 */ {u8"び", {0x82, 0xD1}}, {u8"ぴ", {0x82, 0xD2}},
    /* 0x34 */ {u8"ふ", {0x82, 0xD3}}, {u8"ぶ", {0x82, 0xD4}},
    /* 0x36 */ {u8"ぷ", {0x82, 0xD5}}, {u8"へ", {0x82, 0xD6}},
    /* 0x38 */ {u8"べ", {0x82, 0xD7}}, {u8"ぺ", {0x82, 0xD8}},
    /* 0x3A */ {u8"ほ", {0x82, 0xD9}}, {u8"ぼ", {0x82, 0xDA}},
    /* 0x3C */ {u8"ぽ", {0x82, 0xDB}}, {u8"ま", {0x82, 0xDC}},
    /* 0x3E */ {u8"み", {0x82, 0xDD}}, {u8"む", {0x82, 0xDE}},
    /* 0x40 */ {u8"め", {0x82, 0xDF}}, {u8"も", {0x82, 0xE0}},
    /* 0x42 */ {u8"ゃ", {0x82, 0xE1}}, {u8"や", {0x82, 0xE2}},
    /* 0x44 */ {u8"ゅ", {0x82, 0xE3}}, {u8"ゆ", {0x82, 0xE4}},
    /* 0x46 */ {u8"ょ", {0x82, 0xE5}}, {u8"よ", {0x82, 0xE6}},
    /* 0x48 */ {u8"ら", {0x82, 0xE7}}, {u8"り", {0x82, 0xE8}},
    /* 0x4A */ {u8"る", {0x82, 0xE9}}, {u8"れ", {0x82, 0xEA}},
    /* 0x4C */ {u8"ろ", {0x82, 0xEB}}, {u8"ゎ", {0x82, 0xEC}},
    /* 0x4E */ {u8"わ", {0x82, 0xED}}, {u8"ゐ", {0x82, 0xEE}},
    /* 0x50 */ {u8"ゑ", {0x82, 0xEF}}, {u8"を", {0x82, 0xF0}},
    /* 0x52 */ {u8"ん", {0x82, 0xF1}}, {u8"　", {0x81, 0x40}},
    /* 0x54 */ {u8"、", {0x81, 0x41}}, {u8"。", {0x81, 0x42}},
    /* 0x56 */ {u8"！", {0x81, 0x49}}, {u8"？", {0x81, 0x48}},
    /* 0x58 */ {u8"ー", {0x81, 0x5B}}, {u8"「", {0x81, 0x75}},
    /* 0x5A */ {u8"」", {0x81, 0x76}}, {u8"・", {0x81, 0x45}},
    /* 0x5C */ {u8"▼", {0x81, 0xA5}}, {u8"水", {0x90, 0x85}},
    /* 0x5E */ {u8"筋", {0x8B, 0xD8}}, {u8"顔", {0x8A, 0xE7}},
    /* 0x60 */ {u8"今", {0x8D, 0xA1}}, {u8"日", {0x93, 0xFA}},
    /* 0x62 */ {u8"年", {0x94, 0x4E}}, {u8"月", {0x8C, 0x8E}},
    /* 0x64 */ {u8"時", {0x8E, 0x9E}}, {u8"分", {0x95, 0xAA}},
    /* 0x66 */ {u8"朝", {0x92, 0xA9}}, {u8"昼", {0x92, 0x8B}},
    /* 0x68 */ {u8"夜", {0x96, 0xE9}}, {u8"天", {0x93, 0x56}},
    /* 0x6A */ {u8"気", {0x8B, 0x43}}, {u8"雨", {0x89, 0x4A}},
    /* 0x6C */ {u8"村", {0x91, 0xBA}}, {u8"人", {0x90, 0x6C}},
    /* 0x6E */ {u8"名", {0x96, 0xBC}}, {u8"前", {0x91, 0x4F}},
    /* 0x70 */ {u8"手", {0x8E, 0xE8}}, {u8"紙", {0x8E, 0x86}},
    /* 0x72 */ {u8"来", {0x97, 0x88}}, {u8"行", {0x8D, 0x73}},
    /* 0x74 */ {u8"見", {0x8C, 0xA9}}, {u8"山", {0x8E, 0x52}},
    /* 0x76 */ {u8"川", {0x90, 0xEC}}, {u8"森", {0x90, 0x58}},
    /* 0x78 */ {u8"花", {0x89, 0xD4}}, {u8"木", {0x96, 0xD8}},
    /* 0x7A */ {u8"家", {0x89, 0xC6}}, {u8"海", {0x8A, 0x43}},
    /* 0x7C */ {u8"私", {0x8E, 0x84}}, {u8"元", {0x8C, 0xB3}},
    /* 0x7E */ {u8"大", {0x91, 0xE5}}, {u8"×", {0x81, 0x7E}},
    /* 0x80 */ {u8"0", {0x30, 0x00}}, {u8"1", {0x31, 0x00}},
    /* 0x82 */ {u8"2", {0x32, 0x00}}, {u8"3", {0x33, 0x00}},
    /* 0x84 */ {u8"4", {0x34, 0x00}}, {u8"5", {0x35, 0x00}},
    /* 0x86 */ {u8"6", {0x36, 0x00}}, {u8"7", {0x37, 0x00}},
    /* 0x88 */ {u8"8", {0x38, 0x00}}, {u8"9", {0x39, 0x00}},
    /* 0x8A */ {u8"A", {0x41, 0x00}}, {u8"B", {0x42, 0x00}},
    /* 0x8C */ {u8"C", {0x43, 0x00}}, {u8"D", {0x44, 0x00}},
    /* 0x8E */ {u8"E", {0x45, 0x00}}, {u8"F", {0x46, 0x00}},
    /* 0x90 */ {u8"G", {0x47, 0x00}}, {u8"H", {0x48, 0x00}},
    /* 0x92 */ {u8"I", {0x49, 0x00}}, {u8"J", {0x4A, 0x00}},
    /* 0x94 */ {u8"K", {0x4B, 0x00}}, {u8"L", {0x4C, 0x00}},
    /* 0x96 */ {u8"M", {0x4D, 0x00}}, {u8"N", {0x4E, 0x00}},
    /* 0x98 */ {u8"O", {0x4F, 0x00}}, {u8"P", {0x50, 0x00}},
    /* 0x9A */ {u8"Q", {0x51, 0x00}}, {u8"R", {0x52, 0x00}},
    /* 0x9C */ {u8"S", {0x53, 0x00}}, {u8"T", {0x54, 0x00}},
    /* 0x9E */ {u8"U", {0x55, 0x00}}, {u8"V", {0x56, 0x00}},
    /* 0xA0 */ {u8"W", {0x57, 0x00}}, {u8"X", {0x58, 0x00}},
    /* 0xA2 */ {u8"Y", {0x59, 0x00}}, {u8"Z", {0x5A, 0x00}},
    /* 0xA4 */ {u8"a", {0x61, 0x00}}, {u8"b", {0x62, 0x00}},
    /* 0xA6 */ {u8"c", {0x63, 0x00}}, {u8"d", {0x64, 0x00}},
    /* 0xA8 */ {u8"e", {0x65, 0x00}}, {u8"f", {0x66, 0x00}},
    /* 0xAA */ {u8"g", {0x67, 0x00}}, {u8"h", {0x68, 0x00}},
    /* 0xAC */ {u8"i", {0x69, 0x00}}, {u8"j", {0x6A, 0x00}},
    /* 0xAE */ {u8"k", {0x6B, 0x00}}, {u8"l", {0x6C, 0x00}},
    /* 0xB0 */ {u8"m", {0x6D, 0x00}}, {u8"n", {0x6E, 0x00}},
    /* 0xB2 */ {u8"o", {0x6F, 0x00}}, {u8"p", {0x70, 0x00}},
    /* 0xB4 */ {u8"q", {0x71, 0x00}}, {u8"r", {0x72, 0x00}},
    /* 0xB6 */ {u8"s", {0x73, 0x00}}, {u8"t", {0x74, 0x00}},
    /* 0xB8 */ {u8"u", {0x75, 0x00}}, {u8"v", {0x76, 0x00}},
    /* 0xBA */ {u8"w", {0x77, 0x00}}, {u8"x", {0x78, 0x00}},
    /* 0xBC */ {u8"y", {0x79, 0x00}}, {u8"z", {0x7A, 0x00}},
    /* 0xBE */ {u8" ", {0x20, 0x00}}, {u8"!", {0x21, 0x00}},
    /* 0xC0 */ {u8"?", {0x3F, 0x00}}, {u8".", {0x2E, 0x00}},
    /* 0xC2 */ {u8",", {0x2C, 0x00}}, {u8"-", {0x2D, 0x00}},
    /* 0xC4 */ {u8"\'", {0x27, 0x00}}, {u8":", {0x3A, 0x00}},
    /* 0xC6 */ {u8"/", {0x2F, 0x00}}, {u8"(", {0x28, 0x00}},
    /* 0xC8 */ {u8")", {0x29, 0x00}}, {u8"", {0x00, 0x00}},
    /* 0xCA */ {u8"", {0x00, 0x00}}, {u8"", {0x00, 0x00}},
    /* 0xCC */ {u8"", {0x00, 0x00}}, {u8"※", {0x81, 0xA6}},
    /* 0xCE */ {u8"ア", {0x83, 0x41}}, {u8"イ", {0x83, 0x43}},
    /* 0xD0 */ {u8"ウ", {0x83, 0x45}}, {u8"エ", {0x83, 0x47}},
    /* 0xD2 */ {u8"オ", {0x83, 0x49}}, {u8"カ", {0x83, 0x4A}},
    /* 0xD4 */ {u8"キ", {0x83, 0x4C}}, {u8"ク", {0x83, 0x4E}},
    /* 0xD6 */ {u8"ケ", {0x83, 0x50}}, {u8"コ", {0x83, 0x52}},
    /* 0xD8 */ {u8"サ", {0x83, 0x54}}, {u8"シ", {0x83, 0x56}},
    /* 0xDA */ {u8"ス", {0x83, 0x58}}, {u8"セ", {0x83, 0x5A}},
    /* 0xDC */ {u8"ソ", {0x83, 0x5C}}, {u8"タ", {0x83, 0x5E}},
    /* 0xDE */ {u8"チ", {0x83, 0x60}}, {u8"ツ", {0x83, 0x63}},
    /* 0xE0 */ {u8"テ", {0x83, 0x65}}, {u8"ト", {0x83, 0x67}},
    /* 0xE2 */ {u8"ナ", {0x83, 0x69}}, {u8"ニ", {0x83, 0x6A}},
    /* 0xE4 */ {u8"ヌ", {0x83, 0x6B}}, {u8"ネ", {0x83, 0x6C}},
    /* 0xE6 */ {u8"ノ", {0x83, 0x6D}}, {u8"ハ", {0x83, 0x6E}},
    /* 0xE8 */ {u8"ヒ", {0x83, 0x71}}, {u8"フ", {0x83, 0x74}},
    /* 0xEA */ {u8"ヘ", {0x83, 0x77}}, {u8"ホ", {0x83, 0x7A}},
    /* 0xEC */ {u8"マ", {0x83, 0x7D}}, {u8"ミ", {0x83, 0x7E}},
    /* 0xEE */ {u8"ム", {0x83, 0x80}}, {u8"メ", {0x83, 0x81}},
    /* 0xF0 */ {u8"モ", {0x83, 0x82}}, {u8"ヤ", {0x83, 0x84}},
    /* 0xF2 */ {u8"ユ", {0x83, 0x86}}, {u8"ヨ", {0x83, 0x88}},
    /* 0xF4 */ {u8"ラ", {0x83, 0x89}}, {u8"リ", {0x83, 0x8A}},
    /* 0xF6 */ {u8"ル", {0x83, 0x8B}}, {u8"レ", {0x83, 0x8C}},
    /* 0xF8 */ {u8"ロ", {0x83, 0x8D}}, {u8"ワ", {0x83, 0x8F}},
    /* 0xFA */ {u8"ヲ", {0x83, 0x92}}, {u8"ン", {0x83, 0x93}},
    /* 0xFC */ {u8"ッ", {0x83, 0x62}}, {u8"ャ", {0x83, 0x83}},
    /* 0xFE */ {u8"ュ", {0x83, 0x85}}, {u8"ョ", {0x83, 0x87}},
};

// Splits off the UTF-8 character at `pos` (its length from the lead byte).
std::string next_character(const std::string& utf8, size_t& pos) {
  const uint8_t lead = static_cast<uint8_t>(utf8[pos]);
  size_t n = 1;
  if (lead >= 0xF0) {
    n = 4;
  } else if (lead >= 0xE0) {
    n = 3;
  } else if (lead >= 0xC0) {
    n = 2;
  }
  if (pos + n > utf8.size()) {
    throw std::invalid_argument("cut UTF-8 character");
  }
  std::string c = utf8.substr(pos, n);
  pos += n;
  return c;
}

// The demo code of one UTF-8 character.
uint8_t demo_code(const std::string& c) {
  for (size_t k = 0; k < 256; ++k) {
    if (k == ESCAPE_BYTE || k == BREAK_BYTE) continue;
    if (c == DEMO_CELLS[k].utf8) return static_cast<uint8_t>(k);
  }
  throw std::invalid_argument("not in the demo table: " + c);
}

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

size_t control_arg_count(uint8_t code) {
  switch (code) {
    case 0x03:
      return 1;
    case 0x05:
      return 3;
    case 0x08: case 0x09: case 0x0A: case 0x0B: case 0x0C:
      return 3;
    case 0x0E: case 0x0F: case 0x10: case 0x11: case 0x12:
      return 2;
    case 0x13:
      return 5;
    case 0x14:
      return 6;
    case 0x15:
      return 8;
    case 0x16:
      return 4;
    case 0x17:
      return 6;
    case 0x18:
      return 8;
    case 0x50:
      return 4;
    case 0x51: case 0x52: case 0x53: case 0x54:
      return 1;
    case 0x56: case 0x57:
      return 2;
    case 0x58:
      return 1;
    case 0x59: case 0x5A: case 0x5B:
      return 1;
    default:
      return 0;
  }
}

std::vector<uint8_t> make_image(size_t size) {
  std::vector<uint8_t> image(size, 0x00);
  auto put = [&image](size_t offset, uint8_t value) {
    if (offset < image.size()) image[offset] = value;
  };
  put(FORMAT_OFFSET, FORMAT_BYTE);
  for (size_t i = 0; i < sizeof TITLE - 1; ++i) {
    put(TITLE_OFFSET + i, static_cast<uint8_t>(TITLE[i]));
  }
  put(VERSION_OFFSET, VERSION_BYTE);
  return image;
}

void place_region(std::vector<uint8_t>& image,
                  const std::vector<uint8_t>& bytes,
                  size_t offset_in_region) {
  const size_t start = REGION_FIRST + offset_in_region;
  if (image.size() < start + bytes.size()) image.resize(start + bytes.size());
  std::copy(bytes.begin(), bytes.end(), image.begin() + start);
}

std::vector<uint8_t> text_like_region(size_t size, uint32_t seed) {
  Random random(seed);
  std::vector<uint8_t> out;
  out.reserve(size + 64);
  while (out.size() < size) {
    const uint32_t glyphs =
        MIN_LINE_GLYPHS + random.below(MAX_LINE_GLYPHS - MIN_LINE_GLYPHS + 1);
    // Slots 0 .. glyphs-1 hold glyphs, the last one the break.
    for (uint32_t slot = 0; slot <= glyphs; ++slot) {
      if (random.below(CONTROL_OUT_OF) < CONTROL_CHANCE) {
        append_control_item(out, random);
      }
      out.push_back(slot < glyphs ? random_glyph(random) : BREAK_BYTE);
    }
  }
  out.resize(size);
  return out;
}

std::vector<uint8_t> text_image(uint32_t seed) {
  std::vector<uint8_t> image = make_image(FULL_IMAGE_SIZE);
  // The longest item is 10 bytes: 16 bytes past the region cover any cut one.
  place_region(image, text_like_region(REGION_SIZE + 16, seed));
  return image;
}

std::vector<uint8_t> demo_table() {
  std::vector<uint8_t> table;
  table.reserve(TABLE_FILE_BYTES);
  for (const DemoCell& cell : DEMO_CELLS) {
    table.push_back(cell.record[0]);
    table.push_back(cell.record[1]);
  }
  return table;
}

std::vector<uint8_t> encode_demo(const std::string& utf8) {
  std::vector<uint8_t> codes;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const std::string c = next_character(utf8, pos);
    codes.push_back(c == "\n" ? BREAK_BYTE : demo_code(c));
  }
  return codes;
}

std::string demo_sjis(const std::string& utf8) {
  std::string sjis;
  size_t pos = 0;
  while (pos < utf8.size()) {
    const std::string c = next_character(utf8, pos);
    if (c == "\n") {
      sjis += '\n';
      continue;
    }
    const DemoCell& cell = DEMO_CELLS[demo_code(c)];
    for (uint8_t b : cell.record) {
      if (b == 0) break;
      sjis += static_cast<char>(b);
    }
  }
  return sjis;
}

// The demo messages. "<...>" is a control item, "\n" a break (0xCD); each
// message ends with the two line ends of code 0x00. With the demo table the
// tool writes, after its symbol legend (line ends as CR LF):
//
//   ようこそ、<player name>さん！
//   ここは<village name>です。
//   (empty line)
//   今日の天気は雨。
//   いまは<year>、<hour>です。
//   (empty line)
//   Hello, World!
//   コンニチハ！
//   <letter display>手紙がとどいた！▼
//   (empty line)
//   いろはにほへとちりぬるをわかよたれ
//   そつねならむ
//   (empty line)
//   うゐのおくやまけふこえてあさきゆ
//   めみしゑひもせす
//   (empty line)
//
// "Hello," and " World!" have 0x05 between them, whose three argument bytes
// CD 7F 00 are skipped unread; "World!" is followed by the codes 0x7F and
// 0xCD, which do nothing. "いろは...たれ" is 17 glyphs: the 17th is followed
// by a break, so it stays on the line. The last message is 24 glyphs with
// nothing between them: the line wraps after the 16th (ゆ).
std::vector<uint8_t> demo_region() {
  std::vector<uint8_t> r;
  auto text = [&r](const char* utf8) { append(r, encode_demo(utf8)); };
  auto control = [&r](std::initializer_list<uint8_t> code_and_args) {
    r.push_back(ESCAPE_BYTE);
    r.insert(r.end(), code_and_args);
  };
  const uint8_t TWO_LINE_ENDS = 0x00;
  const uint8_t PLAYER_NAME = 0x1A;
  const uint8_t VILLAGE_NAME = 0x2F;
  const uint8_t YEAR = 0x1D;
  const uint8_t HOUR = 0x21;
  const uint8_t LETTER = 0x40;
  const uint8_t SKIP_THREE = 0x05;

  text(u8"ようこそ、");
  control({PLAYER_NAME});
  text(u8"さん！\nここは");
  control({VILLAGE_NAME});
  text(u8"です。");
  control({TWO_LINE_ENDS});

  text(u8"今日の天気は雨。\nいまは");
  control({YEAR});
  text(u8"、");
  control({HOUR});
  text(u8"です。");
  control({TWO_LINE_ENDS});

  text(u8"Hello,");
  control({SKIP_THREE, BREAK_BYTE, ESCAPE_BYTE, TWO_LINE_ENDS});
  text(u8" World!");
  control({ESCAPE_BYTE});
  control({BREAK_BYTE});
  text(u8"\nコンニチハ！\n");
  control({LETTER});
  text(u8"手紙がとどいた！▼");
  control({TWO_LINE_ENDS});

  text(u8"いろはにほへとちりぬるをわかよたれ\nそつねならむ");
  control({TWO_LINE_ENDS});

  text(u8"うゐのおくやまけふこえてあさきゆめみしゑひもせす");
  control({TWO_LINE_ENDS});
  return r;
}

std::vector<uint8_t> demo_image() {
  std::vector<uint8_t> image = make_image(FULL_IMAGE_SIZE);
  std::vector<uint8_t> region = demo_region();
  // Pairs 0x7F 0x04 up to the region's last byte; when that byte is an
  // escape, its code byte lies just past the region.
  while (region.size() < REGION_SIZE) {
    region.push_back(ESCAPE_BYTE);
    region.push_back(NO_ACTION_CODE);
  }
  place_region(image, region);
  return image;
}

std::vector<uint8_t> bench_table() {
  std::vector<uint8_t> table;
  table.reserve(TABLE_FILE_BYTES);
  for (uint32_t k = 0; k < 256; ++k) {
    uint8_t record[2] = {0x00, 0x00};
    switch (k % 8) {
      case 0: case 1: case 2: case 3:  // hiragana, two bytes
        record[0] = 0x82;
        record[1] = static_cast<uint8_t>(0x9F + k % 83);
        break;
      case 4: case 5:  // one ASCII letter
        record[0] = static_cast<uint8_t>('A' + k % 26);
        break;
      case 6:  // empty
        break;
      default:  // a line end: alone, doubled, or after a letter
        switch (k / 8 % 3) {
          case 0:
            record[0] = 0x0A;
            break;
          case 1:
            record[0] = 0x0A;
            record[1] = 0x0A;
            break;
          default:
            record[0] = static_cast<uint8_t>('a' + k % 26);
            record[1] = 0x0A;
            break;
        }
        break;
    }
    table.push_back(record[0]);
    table.push_back(record[1]);
  }
  return table;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

}  // namespace testdata
