// zireltbl run as a process (ZIREL_TOOL names it, possibly behind wine) in
// a temporary directory: build, dump, refusals, the command line, files
// that are missing or cannot be written.
#include <dirent.h>
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "table/table_text.h"

namespace {

const std::string USAGE_LINES =
    "usage: zireltbl build [--encoding=utf-8|shift_jis] TEXT_TABLE OUT.tbl\n"
    "       zireltbl dump TABLE.tbl\n"
    "       zireltbl --help | --version\n";

std::string demo(const std::string& name) { return read_file(ZIREL_DEMO_DIR "/" + name); }

// The names in a directory, but . and ..
std::set<std::string> names_in(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.insert(name);
    }
    closedir(d);
  }
  return names;
}

class ZireltblTest : public E2eTest {};

TEST_F(ZireltblTest, BuildsTheDemoTableFromItsText) {
  write_file(box_.path("zirel.txt"), demo("zirel.txt"));
  const Result r = run_on({"build", "zirel.txt", "zirel.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "zirel.txt:128: warning: code 7F is never looked up: in the messages it opens a "
            "control item, so this text is never written\n"
            "zirel.txt:202: warning: code CD is never looked up: in the messages it ends a "
            "line, so this text is never written\n");
  EXPECT_EQ(read_file(box_.path("zirel.tbl")), demo("zirel.tbl"));
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"zirel.txt", "zirel.tbl"}));
}

TEST_F(ZireltblTest, DumpsTheDemoTableAsItsText) {
  write_file(box_.path("zirel.tbl"), demo("zirel.tbl"));
  const Result r = run_on({"dump", "zirel.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, demo("zirel.txt"));
}

TEST_F(ZireltblTest, ABuildReplacesAnExistingTable) {
  write_file(box_.path("t.txt"), u8"41=あ\r\n42=B\r\n");
  write_file(box_.path("out.tbl"), std::string(1000, 'x'));
  const Result r = run_on({"build", "t.txt", "out.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  std::string want(512, '\0');
  want.replace(0x82, 3, "\x82\xA0" "B");
  EXPECT_EQ(read_file(box_.path("out.tbl")), want);
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"t.txt", "out.tbl"}));
}

const char BAD_TEXT[] =
    "41=A\n"
    "$F0=<end>\n"
    "8140=x\n"
    "41=B\n"
    "42=\xE3\x81\x82\xE3\x81\x84\n"
    "43=\xC3\xA9\n"
    "CD=x\n";

const char BAD_TEXT_MESSAGES[] =
    "bad.txt:2: error: this is a control-code entry ($XX=...) of the table-file format; this "
    "table holds one-byte character codes only, each as XX=text\n"
    "bad.txt:3: error: the key 8140 is a code of 2 bytes; this table holds one-byte codes "
    "only, two hex digits 00 to FF\n"
    "bad.txt:4: error: code 41 is listed twice (first on line 1); keep one of the two lines\n"
    "bad.txt:5: error: the text of code 42 takes 4 bytes in Shift_JIS, and a cell holds two "
    "at most: one full-width character, or one or two half-width ones\n"
    "bad.txt:6: error: the character U+00E9 (\xC3\xA9) has no Shift_JIS form (code page 932); "
    "use another character, or write the cell's bytes escaped (XX:HH or XX:HHHH)\n"
    "bad.txt:7: warning: code CD is never looked up: in the messages it ends a line, so this "
    "text is never written\n";

TEST_F(ZireltblTest, ARefusalLeavesAnExistingTableAsItWas) {
  write_file(box_.path("bad.txt"), BAD_TEXT);
  write_file(box_.path("out.tbl"), "the old table");
  const Result r = run_on({"build", "bad.txt", "out.tbl"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, std::string(BAD_TEXT_MESSAGES) +
                       "zireltbl: 5 errors in bad.txt; out.tbl not written\n");
  EXPECT_EQ(read_file(box_.path("out.tbl")), "the old table");
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"bad.txt", "out.tbl"}));
}

TEST_F(ZireltblTest, ARefusalCreatesNoTable) {
  write_file(box_.path("bad.txt"), "41=ABC\n");
  const Result r = run_on({"build", "bad.txt", "out.tbl"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "bad.txt:1: error: the text of code 41 takes 3 bytes in Shift_JIS, and a cell "
            "holds two at most: one full-width character, or one or two half-width ones\n"
            "zireltbl: 1 error in bad.txt; out.tbl not written\n");
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"bad.txt"}));
}

struct EncodingCase {
  const char* option;  // "" for none
  const char* text;
  int status;
  const char* err;
  const char* cell;  // the text of cell 41 when built
};

TEST_F(ZireltblTest, TheEncodingOfTheText) {
  const char* sjis = "41=\x82\xA0\n";
  const char* utf8 = "41=\xE3\x81\x82\n";
  const std::vector<EncodingCase> cases = {
      {"", utf8, 0, "", "\x82\xA0"},
      {"", sjis, 0,
       "t.txt: warning: not valid UTF-8 (first on line 1), so read as Shift_JIS (code page "
       "932)\n",
       "\x82\xA0"},
      {"--encoding=shift_jis", sjis, 0, "", "\x82\xA0"},
      {"--encoding=SJIS", sjis, 0, "", "\x82\xA0"},
      {"--encoding=utf-8", utf8, 0, "", "\x82\xA0"},
      {"--encoding=utf-8", sjis, 1,
       "t.txt:1: error: the text is not valid UTF-8 (byte 82 at column 4); save the file as "
       "UTF-8\n"
       "zireltbl: 1 error in t.txt; out.tbl not written\n",
       nullptr},
      {"--encoding=shift_jis", "\xEF\xBB\xBF" "41=A\n", 1,
       "t.txt:1: error: the text starts with a UTF-8 byte-order mark, so it is UTF-8, not "
       "Shift_JIS as asked for\n"
       "zireltbl: 1 error in t.txt; out.tbl not written\n",
       nullptr},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(std::string(c.option) + " " + c.text);
    std::remove(box_.path("out.tbl").c_str());
    write_file(box_.path("t.txt"), c.text);
    std::vector<std::string> args = {"build", "t.txt", "out.tbl"};
    if (*c.option) args.insert(args.begin() + 1, c.option);
    const Result r = run_on(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    if (c.cell != nullptr) {
      EXPECT_EQ(read_file(box_.path("out.tbl")).substr(0x82, 2), c.cell);
    } else {
      EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"t.txt"}));
    }
  }
}

TEST_F(ZireltblTest, RandomTablesComeBackThroughDumpAndBuild) {
  std::mt19937 random(9);
  for (int round = 0; round < 4; ++round) {
    std::string table(512, '\0');
    for (char& b : table) b = static_cast<char>(random() % 3 == 0 ? 0 : random());
    for (size_t k = 0; k < 512; k += 2) {
      if (table[k] == 0 || table[k + 1] == 0) table[k + 1] = 0;  // zero after the text
    }
    write_file(box_.path("t.tbl"), table);
    const Result dumped = run_on({"dump", "t.tbl"});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_EQ(dumped.out, dump_table_text(reinterpret_cast<const uint8_t*>(table.data()), 512));
    write_file(box_.path("t.txt"), dumped.out);
    const Result built = run_on({"build", "t.txt", "back.tbl"});
    EXPECT_EQ(built.status, 0) << built.err;
    EXPECT_EQ(read_file(box_.path("back.tbl")), table);
  }
}

TEST_F(ZireltblTest, DumpWarnsAboutFilesThatAreNot512Bytes) {
  write_file(box_.path("short.tbl"), std::string("A\0B", 3));
  Result r = run_on({"dump", "short.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "00=A\n01=B\n");
  EXPECT_EQ(r.err,
            "short.tbl: warning: 3 bytes, not 512: the cells it does not reach are read as "
            "n64zirelcnv reads them (empty, or one byte)\n");
  write_file(box_.path("long.tbl"), std::string(512, '\0') + "AB");
  r = run_on({"dump", "long.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "long.tbl: warning: 514 bytes, not 512: the bytes after the 512th are not part of "
            "the table\n");
}

TEST_F(ZireltblTest, FilesThatCannotBeReadOrWritten) {
  write_file(box_.path("t.txt"), "41=A\n");
  mkdir(box_.path("dir").c_str(), 0755);
  struct Case {
    std::vector<std::string> args;
    const char* err;
  };
  const std::vector<Case> cases = {
      {{"build", "missing.txt", "out.tbl"}, "zireltbl: cannot read missing.txt: no such file\n"},
      {{"dump", "missing.tbl"}, "zireltbl: cannot read missing.tbl: no such file\n"},
      {{"dump", "dir"}, "zireltbl: cannot read dir: a directory\n"},
      {{"build", "dir", "out.tbl"}, "zireltbl: cannot read dir: a directory\n"},
      {{"build", "t.txt", "dir"}, "zireltbl: cannot write dir: a directory\n"},
      {{"build", "t.txt", "no/out.tbl"}, "zireltbl: cannot write no/out.tbl: no such file\n"},
  };
  for (const Case& c : cases) {
    const Result r = run_on(c.args);
    EXPECT_EQ(r.status, 1) << c.args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"t.txt", "dir"}));
  EXPECT_TRUE(names_in(box_.path("dir")).empty());
}

TEST_F(ZireltblTest, AFailedStandardOutputIsReported) {
  write_file(box_.path("t.tbl"), demo("zirel.tbl"));
  const Result r = run_on({"dump", "t.tbl"}, "> /dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zireltbl: cannot write standard output\n");
}

TEST_F(ZireltblTest, AWrongCommandLineGivesTheUsage) {
  write_file(box_.path("t.txt"), "41=A\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "no command given"},
      {{"frob"}, "unknown command 'frob': use build or dump"},
      {{"Build", "t.txt", "o.tbl"}, "unknown command 'Build': use build or dump"},
      {{"build", "t.txt"}, "build takes two files: the text table and the table to write"},
      {{"build", "t.txt", "o.tbl", "x"},
       "build takes two files: the text table and the table to write"},
      {{"dump"}, "dump takes one file: the table to read"},
      {{"dump", "a", "b"}, "dump takes one file: the table to read"},
      {{"--bogus", "dump", "t.txt"}, "unknown option '--bogus'"},
      {{"build", "-x", "t.txt", "o.tbl"}, "unknown option '-x'"},
      {{"build", "--encoding=latin1", "t.txt", "o.tbl"},
       "unknown encoding 'latin1': use utf-8, shift_jis or auto"},
      {{"build", "t.txt", "o.tbl", "--encoding"}, "--encoding needs a value: utf-8 or shift_jis"},
      {{"dump", "--encoding=utf-8", "t.txt"}, "--encoding is for build only"},
  };
  for (const auto& c : cases) {
    const Result r = run_on(c.first);
    EXPECT_EQ(r.status, 2) << c.second;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "zireltbl: " + c.second + "\n" + USAGE_LINES);
  }
  EXPECT_EQ(names_in(box_.dir()), (std::set<std::string>{"t.txt"}));
}

TEST_F(ZireltblTest, OptionsAnywhereAndNamesAfterTheDoubleDash) {
  write_file(box_.path("-t.txt"), "41=A\n");
  Result r = run_on({"build", "--encoding", "utf-8", "--", "-t.txt", "-o.tbl"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(read_file(box_.path("-o.tbl")).substr(0x82, 2), std::string("A\0", 2));
  r = run_on({"dump", "--", "-o.tbl"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "41=A\n");
}

TEST_F(ZireltblTest, HelpAndVersion) {
  Result r = run_on({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "zireltbl " ZIRELTBL_VERSION "\n");
  EXPECT_EQ(r.err, "");
  r = run_on({"dump", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.compare(0, USAGE_LINES.size(), USAGE_LINES), 0) << r.out;
  EXPECT_NE(r.out.find("--encoding=shift_jis"), std::string::npos);
  EXPECT_NE(r.out.find("XX:HH or XX:HHHH"), std::string::npos);
}

}  // namespace
