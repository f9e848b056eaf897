// End-to-end tests: the built tool run as a process, in a temporary
// directory, on images and tables made here, comparing exact output bytes
// and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "image_maker.h"

namespace {

const std::string& USAGE = USAGE_TEXT;
const std::string VERSION_1_MESSAGE = version_message('1');

}  // namespace

TEST_F(E2eTest, NoArgumentWritesTheBannerAndUsage) {
  const Result r = run_on({});
  EXPECT_EQ(r.status, 0);
  ASSERT_EQ(r.out.substr(0, 40), "-- N64 Zirel Message Converter V1.1 --\r\n");
  EXPECT_EQ(r.out, banner() + USAGE);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
  EXPECT_EQ(r.out.substr(r.out.size() - 3), "}\r\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(E2eTest, ARomImageThatCannotBeOpened) {
  mkdir(box_.path("a directory").c_str(), 0755);
  write_file(box_.path(TABLE_FILE_NAME), ascii_table_file());
  const std::vector<std::string> names = {
      "missing.z64", "", "-v", "/no/such/dir/rom.n64", "my rom.n64", "100%s%c%d.z64",
      "a directory"};
  for (const std::string& name : names) {
    const Result r = run_on({name, "second argument"});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.out, banner() + "file " + name + " not found.\r\n") << name;
    EXPECT_EQ(r.err, "") << name;
  }
}

TEST_F(E2eTest, AnUnreadableRomImageCannotBeOpened) {
  // Permissions do not bind root, so root runs the tool as nobody.
  std::string launcher;
  if (geteuid() == 0) {
    if (std::system("command -v setpriv > /dev/null") != 0) GTEST_SKIP() << "no setpriv";
    launcher = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    chmod(box_.dir().c_str(), 0755);
  }
  prepare(image_with_text("Hi"));
  chmod(box_.path(TABLE_FILE_NAME).c_str(), 0644);
  chmod(box_.path("rom.z64").c_str(), 0);
  const Result r = run_on({"rom.z64"}, "", launcher);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, banner() + "file rom.z64 not found.\r\n");
}

TEST_F(E2eTest, TheTableIsLookedUpInTheCurrentDirectoryOnly) {
  // A table elsewhere (beside the tool, say) does not count; a directory of
  // that name is no table either.
  write_file(box_.path("rom.z64"), image_with_text("Hi"));
  const Result missing = run_on({"rom.z64"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, banner() + "table data not found.\r\n");

  mkdir(box_.path(TABLE_FILE_NAME).c_str(), 0755);
  const Result directory = run_on({"rom.z64"});
  EXPECT_EQ(directory.status, 1);
  EXPECT_EQ(directory.out, banner() + "table data not found.\r\n");
}

TEST_F(E2eTest, RefusedImagesEndWithTheirMessage) {
  struct Case {
    const char* what;
    size_t offset;
    char value;
    std::string message;
  } cases[] = {
      {"byte-swapped", 0x08, '\x37', FORMAT_MESSAGE},
      {"another title", 0x22, 'X', TITLE_MESSAGE},
      {"a later release", 0x3F, '\x01', VERSION_1_MESSAGE},
  };
  for (const Case& c : cases) {
    std::string image = image_with_text("Hi");
    image[c.offset] = c.value;
    prepare(image);
    const Result r = run_on({"rom.z64"});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(r.out, banner() + c.message) << c.what;
  }
  prepare("");
  const Result empty = run_on({"rom.z64"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, banner() + FORMAT_MESSAGE);
}

TEST_F(E2eTest, ARefusedImageWithoutATableReportsTheTable) {
  write_file(box_.path("rom.z64"), "short");
  const Result r = run_on({"rom.z64"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, banner() + "table data not found.\r\n");
}

TEST_F(E2eTest, AFullImageIsDecodedThroughTheEndOfTheRegion) {
  // The item at REGION_LAST is a placeholder whose code byte lies beyond.
  prepare(image_with_text("Hi\xCD", "a\x7F", "\x1A"));
  const Result r = run_on({"rom.z64"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, banner() + legend() + "Hi\r\na\x8E\xE5\x90\x6C\x8C\xF6");
  EXPECT_EQ(r.err, "");
}

TEST_F(E2eTest, TableCellsAreWrittenAsStoredWithLineFeedsTranslated) {
  std::string table = ascii_table_file();
  table.replace(2 * 0x10, 2, "\x82\xA0");
  table.replace(2 * 0x11, 2, "\x0A\x00", 2);
  table.replace(2 * 0x12, 2, "\x0D\x0A");
  table.replace(2 * 0x13, 2, "\x1A\x00", 2);
  write_file(box_.path(TABLE_FILE_NAME), table);
  write_file(box_.path("rom.z64"), image_with_text("\x10\x11\x12\x13"));
  const Result r = run_on({"rom.z64"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, banner() + legend() + "\x82\xA0\r\n\r\r\n\x1A");
}

TEST_F(E2eTest, AShortOrEmptyTableIsNoError) {
  for (const std::string& table : {std::string(), std::string("H\0i", 3)}) {
    write_file(box_.path(TABLE_FILE_NAME), table);
    write_file(box_.path("rom.z64"), image_with_text(std::string("\0\1\2", 3), "", ""));
    const Result r = run_on({"rom.z64"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, banner() + legend() + (table.empty() ? "" : "Hi"));
  }
}

TEST_F(E2eTest, AnImageEndingInsideTheRegion) {
  std::string image = image_with_text("Hi");
  image.resize(REGION_FIRST + 1000);
  prepare(image);
  const Result r = run_on({"rom.z64"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, banner() + legend() + "Hi" + TRUNCATED_MESSAGE);

  prepare(good_image(0x40));
  const Result header_only = run_on({"rom.z64"});
  EXPECT_EQ(header_only.status, 1);
  EXPECT_EQ(header_only.out, banner() + legend() + TRUNCATED_MESSAGE);
}

TEST_F(E2eTest, AnImageEndingJustAfterTheRegionCompletes) {
  // The lookahead byte after REGION_LAST is missing: no message, status 0.
  std::string image = image_with_text("Hi", "q", "");
  prepare(image);
  const Result r = run_on({"rom.z64"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, banner() + legend() + "Hiq");
}

TEST_F(E2eTest, AFailedStandardOutputIsStatusOne) {
  prepare(image_with_text("Hi"));
  for (const char* redirect : {"> /dev/full", ">&-"}) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"rom.z64"}}) {
      const Result r = run_on(args, redirect);
      EXPECT_EQ(r.status, 1) << redirect;
      EXPECT_NE(r.err, "") << redirect;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << redirect;
    }
  }
}

TEST_F(E2eTest, TheDemoImageGivesTheShippedDemoOutput) {
  // The demo messages show glyphs, line breaks, an automatic wrap,
  // placeholders and the letter display; the expected bytes are shipped.
  const std::string demo_dir = ZIREL_DEMO_DIR;
  write_file(box_.path(TABLE_FILE_NAME), read_file(demo_dir + "/zirel.tbl"));
  const std::vector<uint8_t> image = testdata::demo_image();
  write_file(box_.path("demo.z64"), std::string(image.begin(), image.end()));
  const Result r = run_on({"demo.z64"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, read_file(demo_dir + "/demo-output.txt"));
}
