// The Windows program against the Linux one: both are run on the same made
// files and arguments, and standard output, standard error and exit status
// must agree byte for byte.
//
// ZIREL_TOOL starts the Windows program (for example "wine n64zirelcnv.exe");
// ZIREL_LINUX_TOOL names the Linux build, by default the one built with the
// test (ZIREL_LINUX_TOOL_BUILT). The arguments reach the Windows
// program through a Windows command line that its C runtime splits again, so
// the command-line cases check that every argument arrives as given.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

std::string linux_tool() {
  const char* tool = std::getenv("ZIREL_LINUX_TOOL");
  if (tool != nullptr) return tool;
#ifdef ZIREL_LINUX_TOOL_BUILT
  return shell_quoted(ZIREL_LINUX_TOOL_BUILT);
#else
  return "";
#endif
}

// Runs of the Windows program that wrote nothing at all are tried again
// this often (see run_command).
const int WINE_RETRIES = 2;

std::string printable(const std::string& bytes) {
  std::string s;
  char hex[8];
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      s += static_cast<char>(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      s += hex;
    }
  }
  return s;
}

// Equal bytes, or where they first differ (outputs run to megabytes).
::testing::AssertionResult same_bytes(const char*, const char*, const std::string& linux_bytes,
                                      const std::string& windows_bytes) {
  if (linux_bytes == windows_bytes) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < linux_bytes.size() && at < windows_bytes.size() &&
         linux_bytes[at] == windows_bytes[at]) {
    ++at;
  }
  const size_t from = at < 16 ? 0 : at - 16;
  return ::testing::AssertionFailure()
         << "Linux wrote " << linux_bytes.size() << " bytes, Windows "
         << windows_bytes.size() << "; first difference at byte " << at << "\n  Linux:   ..."
         << printable(linux_bytes.substr(from, 48)) << "\n  Windows: ..."
         << printable(windows_bytes.substr(from, 48));
}

// An image of `size` bytes with a good header and everything else drawn
// from a fixed seed: glyphs with breaks and control items among them more
// often than chance would have it.
std::string varied_image(size_t size) {
  std::mt19937 random(20240611);
  std::string image(size, '\0');
  for (char& c : image) c = static_cast<char>(random() & 0xFF);
  for (size_t at = REGION_FIRST; at <= REGION_LAST; ++at) {
    const uint32_t pick = random() % 16;
    if (pick == 0) image[at] = static_cast<char>(BREAK_BYTE);
    if (pick == 1) image[at] = static_cast<char>(ESCAPE_BYTE);
  }
  const std::string header = good_image(0x40);
  image.replace(0, header.size(), header);
  return image;
}

// A table whose cells hold Shift_JIS pairs, single bytes, nothing, and the
// bytes a text-mode stream would change: 0x0A, 0x0D, 0x0D 0x0A and 0x1A.
std::string varied_table() {
  std::mt19937 random(7);
  std::string table(TABLE_FILE_BYTES, '\0');
  for (int k = 0; k < 256; ++k) {
    std::string cell;
    switch (k % 8) {
      case 0: cell = {'\x82', static_cast<char>(0x9F + k % 80)}; break;
      case 1: cell = std::string(1, static_cast<char>(0x21 + k % 90)); break;
      case 2: cell = ""; break;
      case 3: cell = "\n"; break;
      case 4: cell = "\r"; break;
      case 5: cell = "\r\n"; break;
      case 6: cell = "\x1A"; break;
      default: cell = {static_cast<char>(random() | 1), static_cast<char>(random() | 1)};
    }
    table.replace(2 * static_cast<size_t>(k), cell.size(), cell);
  }
  return table;
}

const size_t FULL_SIZE = 12 * 1024 * 1024;

const std::string& full_image() {
  static const std::string image = varied_image(FULL_SIZE);
  return image;
}

class WindowsBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tool_command().empty()) << "ZIREL_TOOL names no Windows program";
    ASSERT_FALSE(linux_tool().empty()) << "ZIREL_LINUX_TOOL names no Linux build";
  }

  // Runs both programs in the sandbox; expects the same bytes and status,
  // and returns what the Linux build did.
  Result expect_same(const std::vector<std::string>& args, const std::string& redirect = "") {
    const Result linux_run = run_command(linux_tool(), box_.dir(), args, redirect);
    const Result windows_run =
        run_command(tool_command(), box_.dir(), args, redirect, WINE_RETRIES);
    std::string what = "arguments:";
    for (const std::string& arg : args) what += " [" + printable(arg.substr(0, 80)) + "]";
    if (!redirect.empty()) what += " output: " + redirect;
    EXPECT_EQ(linux_run.status, windows_run.status) << what;
    EXPECT_PRED_FORMAT2(same_bytes, linux_run.out, windows_run.out) << what;
    EXPECT_PRED_FORMAT2(same_bytes, linux_run.err, windows_run.err) << what;
    return linux_run;
  }

  std::string path(const std::string& name) const { return box_.path(name); }

  Sandbox box_;
};

TEST_F(WindowsBuildTest, ArgumentsArriveAsGiven) {
  write_file(path(TABLE_FILE_NAME), ascii_table_file());
  write_file(path("rom.z64"), image_with_text("plain"));
  write_file(path("my rom.z64"), image_with_text("blank"));
  write_file(path("100%s%c%d.z64"), image_with_text("percent"));
  // What the Linux build's output ends with tells the cases apart.
  struct Case {
    std::vector<std::string> args;
    std::string ends_with;
  } cases[] = {
      {{}, "{outputfile}\r\n"},
      {{""}, "file  not found.\r\n"},
      {{"", "rom.z64"}, "file  not found.\r\n"},
      {{"my rom.z64"}, "blank"},
      {{"my rom.n64"}, "file my rom.n64 not found.\r\n"},
      {{"my", "rom.z64"}, "file my not found.\r\n"},
      {{"100%s%c%d.z64"}, "percent"},
      {{"%PATH%"}, "file %PATH% not found.\r\n"},
      {{"*.z64"}, "file *.z64 not found.\r\n"},
      {{"rom.?64"}, "file rom.?64 not found.\r\n"},
      {{"\"rom.z64\""}, "file \"rom.z64\" not found.\r\n"},
      {{"say \"hi\" \"\""}, "file say \"hi\" \"\" not found.\r\n"},
      {{"back\\slash\\"}, "file back\\slash\\ not found.\r\n"},
      {{"\\\\\"\\"}, "file \\\\\"\\ not found.\r\n"},
      {{"tab\there"}, "file tab\there not found.\r\n"},
      {{"-v"}, "file -v not found.\r\n"},
      {{"/?"}, "file /? not found.\r\n"},
      {{"rom.z64", "", "my rom.z64"}, "plain"},
      {{"line\nfeed%n.z64"}, "file line\r\nfeed%n.z64 not found.\r\n"},
      // Long, yet within the longest Windows command line (32767).
      {{std::string(30000, 'a')}, std::string(200, 'a') + " not found.\r\n"},
      // Device names on Windows: not regular files, so refused.
      {{"NUL"}, "file NUL not found.\r\n"},
      {{"CON"}, "file CON not found.\r\n"},
  };
  for (const Case& c : cases) {
    const Result r = expect_same(c.args);
    const std::string& out = r.out;
    EXPECT_TRUE(out.size() >= c.ends_with.size() &&
                out.compare(out.size() - c.ends_with.size(), c.ends_with.size(),
                            c.ends_with) == 0)
        << printable(out.substr(out.size() < 60 ? 0 : out.size() - 60));
  }
}

TEST_F(WindowsBuildTest, HeaderRefusals) {
  write_file(path(TABLE_FILE_NAME), ascii_table_file());
  struct Case {
    const char* what;
    std::string image;
  } cases[] = {
      {"byte-swapped", [] { std::string i = image_with_text("Hi"); i[0x08] = '\x37'; return i; }()},
      {"little-endian", [] { std::string i = image_with_text("Hi"); i[0x08] = '\x40'; return i; }()},
      {"another title", [] { std::string i = image_with_text("Hi"); i[0x23] = 'A'; return i; }()},
      {"version 1", [] { std::string i = image_with_text("Hi"); i[0x3F] = '\x01'; return i; }()},
      {"version 0xFF", [] { std::string i = image_with_text("Hi"); i[0x3F] = '\xFF'; return i; }()},
      {"empty", ""},
      {"8 bytes", good_image(8)},
      {"title cut", good_image(0x22)},
      {"version byte missing", good_image(0x3F)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(path("rom.z64"), c.image);
    EXPECT_EQ(expect_same({"rom.z64"}).status, 1);
  }
}

TEST_F(WindowsBuildTest, NamesThatAreNoUsableFile) {
  write_file(path("rom.z64"), image_with_text("Hi"));
  mkdir(path("a directory").c_str(), 0755);
  // No table yet.
  EXPECT_EQ(expect_same({"rom.z64"}).status, 1);
  // A directory as the image, and as the table.
  write_file(path(TABLE_FILE_NAME), ascii_table_file());
  EXPECT_EQ(expect_same({"a directory"}).status, 1);
  EXPECT_EQ(expect_same({"."}).status, 1);
  std::remove(path(TABLE_FILE_NAME).c_str());
  mkdir(path(TABLE_FILE_NAME).c_str(), 0755);
  EXPECT_EQ(expect_same({"rom.z64"}).status, 1);
  // A refused image without a table: the table is reported.
  write_file(path("rom.z64"), "short");
  EXPECT_EQ(expect_same({"rom.z64"}).status, 1);
}

TEST_F(WindowsBuildTest, AFullSizeImageWithVariedContent) {
  write_file(path(TABLE_FILE_NAME), varied_table());
  write_file(path("rom.z64"), full_image());
  const Result r = expect_same({"rom.z64"});
  EXPECT_EQ(r.status, 0);
  EXPECT_GT(r.out.size(), REGION_SIZE);
  // The cells were written as stored: 0x0D 0x0A became 0x0D 0x0D 0x0A.
  EXPECT_NE(r.out.find("\r\r\n"), std::string::npos);
  EXPECT_NE(r.out.find('\x1A'), std::string::npos);
}

TEST_F(WindowsBuildTest, ImagesCutShort) {
  write_file(path(TABLE_FILE_NAME), varied_table());
  struct Case {
    const char* what;
    size_t size;
    int status;
  } cases[] = {
      {"inside the region", REGION_FIRST + 700001, 1},
      {"at the region's start", REGION_FIRST, 1},
      {"before the region's last byte", REGION_LAST, 1},
      {"before the byte after the region", REGION_LAST + 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(path("rom.z64"), full_image().substr(0, c.size));
    EXPECT_EQ(expect_same({"rom.z64"}).status, c.status);
  }
}

TEST_F(WindowsBuildTest, AFailedStandardOutput) {
  write_file(path(TABLE_FILE_NAME), varied_table());
  write_file(path("rom.z64"), full_image());
  for (const char* redirect : {"> /dev/full", ">&-"}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"rom.z64"}}) {
      const Result r = expect_same(args, redirect);
      EXPECT_EQ(r.status, 1) << redirect;
      EXPECT_NE(r.err, "") << redirect;
    }
  }
}

}  // namespace
