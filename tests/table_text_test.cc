// The text form of the character table and the code page 932 mapping, in
// memory: what `parse_table_text` builds and refuses, what
// `dump_table_text` writes, the round trip, and the mapping checked against
// the system's iconv.
#include "table/table_text.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "table/cp932.h"

namespace {

const uint8_t* bytes_of(const std::string& s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

TableTextResult parse(const std::string& text, TextEncoding encoding = TextEncoding::AUTO) {
  return parse_table_text(bytes_of(text), text.size(), encoding);
}

std::string dump(const std::string& table) {
  return dump_table_text(bytes_of(table), table.size());
}

// A cell's text: the record's bytes up to its first zero byte.
std::string cell_text(const uint8_t* table, unsigned code) {
  std::string text;
  for (size_t i = 0; i < 2 && table[2 * code + i] != 0; ++i) {
    text += static_cast<char>(table[2 * code + i]);
  }
  return text;
}

std::string problems_of(const TableTextResult& r) {
  std::string s;
  for (const TableTextProblem& p : r.problems) {
    s += std::to_string(p.line) + (p.is_error ? ": error: " : ": warning: ") + p.message + "\n";
  }
  return s;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// --- Building ------------------------------------------------------------

struct Expected {
  size_t line;
  bool is_error;
  const char* part;  // a piece of the message that names the fault
};

struct BuildCase {
  const char* name;
  std::string text;
  TextEncoding encoding;
  std::map<unsigned, std::string> cells;  // the cells that are not empty
  std::vector<Expected> problems;
};

const TextEncoding AUTO = TextEncoding::AUTO;
const TextEncoding UTF8 = TextEncoding::UTF8;
const TextEncoding SJIS = TextEncoding::SHIFT_JIS;

const std::vector<BuildCase>& build_cases() {
  static const std::vector<BuildCase> cases = {
      {"OneCodeOfEachKind", u8"41=A\n42=あ\n43=ｱｲ\n44=AB\n45=　\n", AUTO,
       {{0x41, "A"}, {0x42, "\x82\xA0"}, {0x43, "\xB1\xB2"}, {0x44, "AB"},
        {0x45, "\x81\x40"}}, {}},
      {"KeysInEitherCaseAnyOrder", "ff=z\n0a=y\nA0=x\n", AUTO,
       {{0xFF, "z"}, {0x0A, "y"}, {0xA0, "x"}}, {}},
      {"BlanksAndEqualSignsBelongToTheText", "20= \n3D==\n41=a=\n42= b\n43=  \n", AUTO,
       {{0x20, " "}, {0x3D, "="}, {0x41, "a="}, {0x42, " b"}, {0x43, "  "}}, {}},
      {"EmptyTextGivesAnEmptyCell", "41=\n42=B", AUTO, {{0x42, "B"}}, {}},
      {"BlankLinesAreSkipped", "\n   \n\t\n41=A\n\n\n", AUTO, {{0x41, "A"}}, {}},
      {"CrLfLineEnds", "41=A\r\n42=\xE3\x81\x82\r\n\r\n43=\r\n", AUTO,
       {{0x41, "A"}, {0x42, "\x82\xA0"}}, {}},
      {"ByteOrderMark", "\xEF\xBB\xBF" "41=\xE3\x81\x82\n", AUTO, {{0x41, "\x82\xA0"}}, {}},
      {"ByteOrderMarkWithUtf8Forced", "\xEF\xBB\xBF" "41=A\n", UTF8, {{0x41, "A"}}, {}},
      {"ByteOrderMarkWithShiftJisForced", "\xEF\xBB\xBF" "41=A\n", SJIS, {{0x41, "A"}},
       {{1, true, "byte-order mark"}}},
      {"Utf16IsNamed", std::string("\xFF\xFE" "4\0" "1\0=\0A\0\n\0", 12), AUTO, {},
       {{1, true, "the text is UTF-16 (it starts with a UTF-16 byte-order mark); save it as UTF-8"}}},
      {"Utf16BigEndianIsNamed", std::string("\xFE\xFF\0" "4\0" "1\0=\0A\0\n", 12), UTF8, {},
       {{1, true, "the text is UTF-16"}}},
      {"WindowsChoicesForLookAlikes", u8"41=～\n42=－\n43=∥\n44=￢\n45=〜\n46=−\n47=‖\n48=¬\n",
       AUTO,
       {{0x41, "\x81\x60"}, {0x42, "\x81\x7C"}, {0x43, "\x81\x61"}, {0x44, "\x81\xCA"},
        {0x45, "\x81\x60"}, {0x46, "\x81\x7C"}, {0x47, "\x81\x61"}, {0x48, "\x81\xCA"}},
       {}},
      {"WindowsChoicesAmongRepeatedCodes", u8"41=≒\n42=∵\n43=Ⅰ\n44=ⅰ\n45=纊\n46=㈱\n47=￤\n",
       AUTO,
       {{0x41, "\x81\xE0"}, {0x42, "\x81\xE6"}, {0x43, "\x87\x54"}, {0x44, "\xFA\x40"},
        {0x45, "\xFA\x5C"}, {0x46, "\x87\x8A"}, {0x47, "\xFA\x55"}},
       {}},
      {"ShiftJisTextFoundByItself", "41=\x82\xA0\n42=\xB1\n43=A\n", AUTO,
       {{0x41, "\x82\xA0"}, {0x42, "\xB1"}, {0x43, "A"}},
       {{0, false, "not valid UTF-8 (first on line 1), so read as Shift_JIS"}}},
      {"ShiftJisForcedKeepsTheBytesGiven", "41=\x82\xA0\n42=\xED\x40\n43=\x87\x90\n", SJIS,
       {{0x41, "\x82\xA0"}, {0x42, "\xED\x40"}, {0x43, "\x87\x90"}}, {}},
      {"ShiftJisBytesThatAreNoCharacter", "41=\x85\x40\n42=\x80\n43=A\x82\n44=\xA0\n", SJIS,
       {},
       {{1, true, "bytes 85 40 of the text are no Shift_JIS character"},
        {2, true, "byte 80 of the text is no Shift_JIS character"},
        {3, true, "byte 82 at the end of the text is the first half"},
        {4, true, "byte A0 of the text is no Shift_JIS character"}}},
      {"Utf8ForcedRefusesOtherBytes", "41=A\n42=\x82\xA0\n43=\xE3\x81\n", UTF8, {{0x41, "A"}},
       {{2, true, "not valid UTF-8 (byte 82 at column 4)"},
        {3, true, "not valid UTF-8 (byte E3 at column 4)"}}},
      {"EscapedCells", "0A:0A\n0b:8140\n80:81\n81:41E0\n", AUTO,
       {{0x0A, "\x0A"}, {0x0B, "\x81\x40"}, {0x80, "\x81"}, {0x81, "\x41\xE0"}}, {}},
      {"BadEscapedCells", "41:4\n42:0041\n43:zz\n44:414243\n45:\n46:41 \n47:4100\n", AUTO, {},
       {{1, true, "escaped cell of code 41 is not XX:HH or XX:HHHH"},
        {2, true, "escaped cell of code 42"},
        {3, true, "escaped cell of code 43"},
        {4, true, "escaped cell of code 44"},
        {5, true, "escaped cell of code 45"},
        {6, true, "escaped cell of code 46"},
        {7, true, "escaped cell of code 47"}}},
      {"EntriesOfTheTableFileFormatItCannotHold",
       "$F0=<end>\n/FF=[END]\n!F8=Kanji,1\n@Main\n*FE\n", AUTO, {},
       {{1, true, "a control-code entry ($XX=...) of the table-file format"},
        {2, true, "an end-token entry (/XX=...)"},
        {3, true, "a table-switch entry (!XX=...)"},
        {4, true, "a table-name line (@...)"},
        {5, true, "a line-break entry (*XX=...)"}}},
      {"KeysOfOtherLengths", "8140=x\n0A0B0C=y\n1=z\nABC=w\n", AUTO, {},
       {{1, true, "the key 8140 is a code of 2 bytes; this table holds one-byte codes only"},
        {2, true, "the key 0A0B0C is a code of 3 bytes"},
        {3, true, "the key 1 has 1 hex digit; write the code as two hex digits"},
        {4, true, "the key ABC has 3 hex digits"}}},
      {"LinesThatAreNoEntry", "41 =A\n 41=A\nG1=A\n41A\n=A\n;comment\n41\n", AUTO, {},
       {{1, true, "not an entry: write XX=text"},
        {2, true, "not an entry"},
        {3, true, "not an entry"},
        {4, true, "not an entry"},
        {5, true, "not an entry"},
        {6, true, "not an entry"},
        {7, true, "not an entry"}}},
      {"CodeListedTwice", "41=A\n42=B\n0a=C\n41=A\n0A=D\n41:41\n", AUTO,
       {{0x41, "A"}, {0x42, "B"}, {0x0A, "C"}},
       {{4, true, "code 41 is listed twice (first on line 1)"},
        {5, true, "code 0A is listed twice (first on line 3)"},
        {6, true, "code 41 is listed twice (first on line 1)"}}},
      {"TextOverTwoBytes", u8"41=ABC\n42=あい\n43=Aあ\n44=ｱｲｳ\n45=あいう\n", AUTO, {},
       {{1, true, "the text of code 41 takes 3 bytes in Shift_JIS, and a cell holds two at most"},
        {2, true, "code 42 takes 4 bytes"},
        {3, true, "code 43 takes 3 bytes"},
        {4, true, "code 44 takes 3 bytes"},
        {5, true, "code 45 takes 6 bytes"}}},
      {"CharactersWithoutShiftJisForm", u8"41=é\n42=😀\n43=\u00A5\n44=\u0080\n45=한\n", AUTO, {},
       {{1, true, "the character U+00E9 (é) has no Shift_JIS form (code page 932)"},
        {2, true, "the character U+1F600 (😀) has no Shift_JIS form"},
        {3, true, "the character U+00A5 (¥) has no Shift_JIS form"},
        {4, true, "the character U+0080 has no Shift_JIS form"},
        {5, true, "the character U+D55C (한) has no Shift_JIS form"}}},
      {"ZeroByteAndCarriageReturnInsideAText",
       std::string("41=A\0\n42=A\rB\n43=\r\r\n", 19), AUTO, {},
       {{1, true, "a zero byte (NUL) in the text"},
        {2, true, "a carriage return (CR) inside the line"},
        {3, true, "a carriage return (CR) inside the line"}}},
      {"CodesNeverLookedUpAreWarnedAbout", "7F=A\ncd=B\n7E=C\nCD=D\n", AUTO,
       {{0x7F, "A"}, {0xCD, "B"}, {0x7E, "C"}},
       {{1, false, "code 7F is never looked up"},
        {2, false, "code CD is never looked up"},
        {4, false, "code CD is never looked up"},
        {4, true, "code CD is listed twice (first on line 2)"}}},
      {"EveryErrorOfTheFileIsReported", u8"41=A\nxx\n42=B\n43=あいう\n\n43=Q\n44=é\n", AUTO,
       {{0x41, "A"}, {0x42, "B"}},
       {{2, true, "not an entry"},
        {4, true, "takes 6 bytes"},
        {6, true, "listed twice (first on line 4)"},
        {7, true, "U+00E9"}}},
  };
  return cases;
}

void PrintTo(const BuildCase& c, std::ostream* os) { *os << c.name; }

class BuildTest : public ::testing::TestWithParam<BuildCase> {};

TEST_P(BuildTest, CellsAndProblems) {
  const BuildCase& c = GetParam();
  const TableTextResult r = parse(c.text, c.encoding);
  for (unsigned code = 0; code < 256; ++code) {
    const auto want = c.cells.find(code);
    EXPECT_EQ(cell_text(r.table, code), want == c.cells.end() ? "" : want->second)
        << "code " << code;
    EXPECT_EQ(r.table[2 * code + 1] == 0 ? 0 : 1,
              want != c.cells.end() && want->second.size() == 2 ? 1 : 0)
        << "a one-byte or empty record is zero after its text, code " << code;
  }
  ASSERT_EQ(r.problems.size(), c.problems.size()) << problems_of(r);
  bool any_error = false;
  for (size_t i = 0; i < c.problems.size(); ++i) {
    EXPECT_EQ(r.problems[i].line, c.problems[i].line) << problems_of(r);
    EXPECT_EQ(r.problems[i].is_error, c.problems[i].is_error) << problems_of(r);
    EXPECT_NE(r.problems[i].message.find(c.problems[i].part), std::string::npos)
        << "want \"" << c.problems[i].part << "\" in:\n" << problems_of(r);
    any_error = any_error || c.problems[i].is_error;
  }
  EXPECT_EQ(r.ok(), !any_error);
}

INSTANTIATE_TEST_SUITE_P(TableText, BuildTest, ::testing::ValuesIn(build_cases()),
                         [](const ::testing::TestParamInfo<BuildCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(TableTextTest, AnEmptyTextGivesAnEmptyTable) {
  const TableTextResult r = parse("");
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.problems.empty());
  for (uint8_t b : r.table) EXPECT_EQ(b, 0);
}

TEST(TableTextTest, AllCodesListed) {
  std::string text;
  char line[16];
  for (unsigned code = 0; code < 256; ++code) {
    std::snprintf(line, sizeof line, "%02X=%c\n", code, 'A' + code % 26);
    text += line;
  }
  const TableTextResult r = parse(text);
  EXPECT_EQ(r.problems.size(), 2u) << problems_of(r);  // 7F and CD
  EXPECT_TRUE(r.ok());
  for (unsigned code = 0; code < 256; ++code) {
    EXPECT_EQ(cell_text(r.table, code), std::string(1, static_cast<char>('A' + code % 26)));
  }
}

// --- Dumping -------------------------------------------------------------

struct DumpCase {
  const char* record;  // two bytes
  const char* line;    // the line for code 41, without its line end; "" for none
};

TEST(TableTextTest, DumpWritesTextOrTheEscapedForm) {
  const std::vector<DumpCase> cases = {
      {"A\0", "41=A"},
      {"AB", "41=AB"},
      {" \0", "41= "},
      {"=\0", "41=="},
      {":\0", "41=:"},
      {"\\~", "41=\\~"},
      {"\x82\xA0", u8"41=あ"},
      {"\xB1\xB2", u8"41=ｱｲ"},
      {"\x81\x60", u8"41=～"},
      {"\x81\xCA", u8"41=￢"},
      {"\xFA\x40", u8"41=ⅰ"},
      {"\xF0\x40", "41=\xEE\x80\x80"},  // user-defined area: U+E000
      {"\0A", ""},                       // empty: the second byte is ignored
      {"\0\0", ""},
      {"\x0A\0", "41:0A"},    // control bytes
      {"\x0D\x0A", "41:0D0A"},
      {"\x7F\0", "41:7F"},
      {"A\x09", "41:4109"},
      {"\x81\0", "41:81"},    // a lone lead byte
      {"A\x82", "41:4182"},   // a lead byte without its second half
      {"\x80\0", "41:80"},    // bytes no character has
      {"\xA0\0", "41:A0"},
      {"\xFD\xFE", "41:FDFE"},
      {"\x85\x40", "41:8540"},
      {"\x82\x20", "41:8220"},
      {"\x87\x90", "41:8790"},  // ≒ in the NEC row: Windows writes it 81E0
      {"\xED\x40", "41:ED40"},  // 纊, NEC-selected: Windows writes it FA5C
      {"\xEE\xF9", "41:EEF9"},  // ￢, NEC-selected: Windows writes it 81CA
  };
  for (const DumpCase& c : cases) {
    std::string table(512, '\0');
    table[0x82] = c.record[0];
    table[0x83] = c.record[1];
    const std::string want = *c.line ? std::string(c.line) + "\n" : "";
    EXPECT_EQ(dump(table), want) << "record " << std::hex << (c.record[0] & 0xFF) << " "
                                 << (c.record[1] & 0xFF);
  }
}

TEST(TableTextTest, DumpOfShortAndLongFiles) {
  EXPECT_EQ(dump(""), "");
  EXPECT_EQ(dump("AB\x82"), "00=AB\n01:82\n");  // read as the extractor reads it
  std::string table(600, 'x');
  table.replace(0, 512, 512, '\0');
  EXPECT_EQ(dump(table), "");                    // bytes from 512 on are ignored
}

// --- Round trip ----------------------------------------------------------

// build(dump(T)) gives T's cell texts, and T itself when its records are
// zero after their texts.
void expect_round_trip(const std::string& table) {
  const std::string text = dump(table);
  const TableTextResult r = parse(text, TextEncoding::UTF8);
  ASSERT_TRUE(r.ok()) << problems_of(r) << text;
  bool zero_after_texts = true;
  for (unsigned code = 0; code < 256; ++code) {
    const std::string want = cell_text(bytes_of(table), code);
    ASSERT_EQ(cell_text(r.table, code), want) << "code " << code << "\n" << text;
    if (want.size() < 2 && table[2 * code + 1] != 0) zero_after_texts = false;
  }
  if (zero_after_texts) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.table), 512), table);
  }
  // Text it wrote is read the same whatever encoding is asked for.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(parse(text).table), 512),
            std::string(reinterpret_cast<const char*>(r.table), 512));
}

TEST(TableTextTest, RoundTripOnRandomTables) {
  std::mt19937 random(20261211);
  size_t count;
  const Cp932Pair* codes = cp932_decode_pairs(&count);
  for (int round = 0; round < 3000; ++round) {
    std::string table(512, '\0');
    for (size_t k = 0; k < 256; ++k) {
      const unsigned kind = round % 3 == 0 ? 0 : random() % 6;
      uint16_t code = 0;
      switch (kind) {
        case 0: case 1:  // any bytes at all
          table[2 * k] = static_cast<char>(random());
          table[2 * k + 1] = static_cast<char>(random());
          continue;
        case 2: break;   // empty
        default: code = codes[random() % count].from; break;
      }
      if (code > 0xFF) {
        table[2 * k] = static_cast<char>(code >> 8);
        table[2 * k + 1] = static_cast<char>(code & 0xFF);
      } else {
        table[2 * k] = static_cast<char>(code);
        if (random() % 2 == 0 && code != 0) {  // then a second one-byte code
          const uint16_t second = codes[random() % 190].from;
          table[2 * k + 1] = static_cast<char>(second);
        }
      }
    }
    expect_round_trip(table);
    if (HasFatalFailure()) return;
  }
}

TEST(TableTextTest, RoundTripOfEveryMappedCodeAndEveryByte) {
  size_t count;
  const Cp932Pair* codes = cp932_decode_pairs(&count);
  std::string table(512, '\0');
  size_t k = 0;
  auto flush = [&]() {
    expect_round_trip(table);
    table.assign(512, '\0');
    k = 0;
  };
  for (size_t i = 0; i < count; ++i) {
    const uint16_t code = codes[i].from;
    table[2 * k] = static_cast<char>(code > 0xFF ? code >> 8 : code);
    table[2 * k + 1] = static_cast<char>(code > 0xFF ? code & 0xFF : 0);
    if (++k == 256) flush();
    if (HasFatalFailure()) return;
  }
  for (unsigned first = 1; first < 256; ++first) {  // every lone byte
    table[2 * k] = static_cast<char>(first);
    if (++k == 256) flush();
  }
  flush();
}

// --- The demo table ------------------------------------------------------

TEST(TableTextTest, DemoTableIsBuiltFromItsText) {
  const std::string text = read_file(ZIREL_DEMO_DIR "/zirel.txt");
  const std::string table = read_file(ZIREL_DEMO_DIR "/zirel.tbl");
  ASSERT_EQ(table.size(), 512u);
  const TableTextResult r = parse(text, TextEncoding::UTF8);
  EXPECT_TRUE(r.ok()) << problems_of(r);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.table), 512), table);
  EXPECT_EQ(dump(table), text);
}

// --- The mapping ---------------------------------------------------------

std::string utf8_of(uint32_t cp) {
  std::string o;
  if (cp < 0x80) {
    o += static_cast<char>(cp);
  } else if (cp < 0x800) {
    o += static_cast<char>(0xC0 | cp >> 6);
    o += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    o += static_cast<char>(0xE0 | cp >> 12);
    o += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return o;
}

std::string code_bytes(uint16_t code) {
  return code > 0xFF ? std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}
                     : std::string(1, static_cast<char>(code));
}

// One conversion by the system's iconv; false when it refuses.
bool iconv_once(iconv_t cd, const std::string& in, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[16];
  char* from = const_cast<char*>(in.data());
  size_t from_left = in.size();
  char* to = buffer;
  size_t to_left = sizeof buffer;
  const bool good = iconv(cd, &from, &from_left, &to, &to_left) != static_cast<size_t>(-1) &&
                    from_left == 0 &&
                    iconv(cd, nullptr, nullptr, &to, &to_left) != static_cast<size_t>(-1);
  out.assign(buffer, static_cast<size_t>(to - buffer));
  return good;
}

TEST(Cp932Test, TablesAreSortedAndAgree) {
  size_t n;
  const Cp932Pair* decode = cp932_decode_pairs(&n);
  EXPECT_EQ(n, 9794u);
  for (size_t i = 1; i < n; ++i) ASSERT_LT(decode[i - 1].from, decode[i].from);
  for (size_t i = 0; i < n; ++i) {
    // Every character decoded is encoded, to a code that decodes to it.
    const uint16_t code = cp932_from_unicode(decode[i].to);
    ASSERT_NE(code, 0) << std::hex << decode[i].to;
    ASSERT_EQ(cp932_to_unicode(code), decode[i].to);
  }
  const Cp932Pair* encode = cp932_encode_pairs(&n);
  EXPECT_EQ(n, 9402u);
  for (size_t i = 1; i < n; ++i) ASSERT_LT(encode[i - 1].from, encode[i].from);
  EXPECT_EQ(cp932_from_unicode(0), 0);
  EXPECT_EQ(cp932_from_unicode(0x110000 + 'A'), 0);
  EXPECT_EQ(cp932_to_unicode(0), 0u);
}

// The system's iconv CP932, for every code and character of the mapping,
// and every one- and two-byte code that iconv decodes. The exceptions, each
// with its reason, are listed here; glibc 2.36 has none.
TEST(Cp932Test, AgreesWithTheSystemIconv) {
  iconv_t to_unicode = iconv_open("UTF-8", "CP932");
  iconv_t from_unicode = iconv_open("CP932", "UTF-8");
  if (to_unicode == reinterpret_cast<iconv_t>(-1) ||
      from_unicode == reinterpret_cast<iconv_t>(-1)) {
    GTEST_SKIP() << "this system's iconv has no CP932";
  }
  // Codes the mapping leaves out on purpose: no character has them, and
  // Windows' placeholders for them are no text (U+0080, U+F8F0-U+F8F3).
  const std::set<uint16_t> left_out = {0x00, 0x80, 0xA0, 0xFD, 0xFE, 0xFF};
  // Differences from the system's iconv: none known.
  const std::set<uint16_t> decode_exceptions = {};
  const std::set<uint32_t> encode_exceptions = {};

  size_t n;
  std::string out;
  const Cp932Pair* decode = cp932_decode_pairs(&n);
  std::vector<std::string> differences;
  for (size_t i = 0; i < n; ++i) {
    if (decode_exceptions.count(decode[i].from)) continue;
    if (!iconv_once(to_unicode, code_bytes(decode[i].from), out) ||
        out != utf8_of(decode[i].to)) {
      char s[64];
      std::snprintf(s, sizeof s, "decode %04X: ours U+%04X", decode[i].from, decode[i].to);
      differences.push_back(s);
    }
  }
  const Cp932Pair* encode = cp932_encode_pairs(&n);
  for (size_t i = 0; i < n; ++i) {
    if (encode_exceptions.count(encode[i].from)) continue;
    if (!iconv_once(from_unicode, utf8_of(encode[i].from), out) ||
        out != code_bytes(encode[i].to)) {
      char s[64];
      std::snprintf(s, sizeof s, "encode U+%04X: ours %04X", encode[i].from, encode[i].to);
      differences.push_back(s);
    }
  }
  // What iconv decodes and the mapping does not.
  for (unsigned code = 0; code < 0x10000; ++code) {
    if (code > 0xFF && (!cp932_is_lead(code >> 8) || (code & 0xFF) < 0x40)) continue;
    if (code < 0x100 && cp932_is_lead(static_cast<uint8_t>(code))) continue;
    if (left_out.count(static_cast<uint16_t>(code))) continue;
    if (cp932_to_unicode(static_cast<uint16_t>(code)) != 0) continue;
    if (iconv_once(to_unicode, code_bytes(static_cast<uint16_t>(code)), out)) {
      char s[64];
      std::snprintf(s, sizeof s, "decode %04X: iconv only", code);
      differences.push_back(s);
    }
  }
  iconv_close(to_unicode);
  iconv_close(from_unicode);
  std::string list;
  for (const std::string& d : differences) list += d + "\n";
  EXPECT_TRUE(differences.empty()) << differences.size() << " differences:\n" << list;
}

}  // namespace
