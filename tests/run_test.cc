#include "main/run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/decoder.h"
#include "expected_texts.h"
#include "fake_platform.h"
#include "test_support.h"

namespace {

const std::string TITLE = "-- N64 Zirel Message Converter V1.1 --\r\n";
const std::string& USAGE = USAGE_TEXT;

// The banner: the title line and two plain ASCII credit lines.
std::string banner_of(const std::string& out) {
  size_t end = 0;
  for (int line = 0; line < 3; ++line) end = out.find("\r\n", end) + 2;
  return out.substr(0, end);
}

int run_with(FakePlatform& platform, std::vector<const char*> args) {
  args.insert(args.begin(), "n64zirelcnv");
  return run(static_cast<int>(args.size()), args.data(), platform);
}

}  // namespace

TEST(RunTest, TheBannerIsATitleAndTwoPlainAsciiLines) {
  FakePlatform platform;
  EXPECT_EQ(run_with(platform, {}), 0);
  const std::string banner = banner_of(platform.out);
  ASSERT_EQ(banner.compare(0, TITLE.size(), TITLE), 0);
  const std::string credits = banner.substr(TITLE.size());
  ASSERT_FALSE(credits.empty());
  for (char c : credits) {
    EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
  }
  EXPECT_EQ(platform.out, banner + USAGE);
  EXPECT_TRUE(platform.opened.empty());
  EXPECT_TRUE(platform.err.empty());
}

TEST(RunTest, NoArgumentAtAllGivesTheUsage) {
  FakePlatform platform;
  EXPECT_EQ(run(0, nullptr, platform), 0);
  EXPECT_EQ(platform.out, banner_of(platform.out) + USAGE);
}

TEST(RunTest, ARomImageThatCannotBeOpened) {
  struct Case {
    const char* arg;
    std::string message;
  } cases[] = {
      {"missing.z64", "file missing.z64 not found.\r\n"},
      {"", "file  not found.\r\n"},
      {"-h", "file -h not found.\r\n"},
      {"/x", "file /x not found.\r\n"},
      {"100%s %c.n64", "file 100%s %c.n64 not found.\r\n"},
      {"my rom.n64", "file my rom.n64 not found.\r\n"},
      {"a\nb", "file a\r\nb not found.\r\n"},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files[TABLE_FILE_NAME] = ascii_table_file();
    EXPECT_EQ(run_with(platform, {c.arg}), 1) << c.arg;
    EXPECT_EQ(platform.out, banner_of(platform.out) + c.message) << c.arg;
    // The table is not tried once the image failed.
    EXPECT_EQ(platform.opened, std::vector<std::string>{c.arg});
  }
}

TEST(RunTest, AMissingTableIsReportedBeforeTheImageIsLookedAt) {
  FakePlatform platform;
  platform.files["bad.z64"] = "not an image";
  EXPECT_EQ(run_with(platform, {"bad.z64", "extra"}), 1);
  EXPECT_EQ(platform.out, banner_of(platform.out) + "table data not found.\r\n");
  EXPECT_EQ(platform.opened, (std::vector<std::string>{"bad.z64", TABLE_FILE_NAME}));
}

TEST(RunTest, ARefusedImageEndsWithStatusOneAfterItsMessage) {
  FakePlatform platform;
  platform.files[TABLE_FILE_NAME] = ascii_table_file();
  std::string image = good_image(0x40);
  image[0x23] = 'X';
  platform.files["rom"] = image;
  EXPECT_EQ(run_with(platform, {"rom"}), 1);
  EXPECT_EQ(platform.out, banner_of(platform.out) + TITLE_MESSAGE);
}

TEST(RunTest, AFullImageIsDecodedToItsLastItem) {
  FakePlatform platform;
  platform.files[TABLE_FILE_NAME] = ascii_table_file();
  std::string image = good_image(REGION_LAST + 2);
  image.replace(REGION_FIRST, 4, "Hi\xCDx");
  // Everything between is code 0x04 (no action); "ab" ends the region.
  for (size_t at = REGION_FIRST + 4; at + 1 < REGION_LAST; at += 2) image.replace(at, 2, "\x7F\x04");
  image.replace(REGION_LAST - 1, 3, "ab\xCD");
  platform.files["rom"] = image;
  EXPECT_EQ(run_with(platform, {"rom", "ignored"}), 0);
  EXPECT_EQ(platform.out, banner_of(platform.out) + legend() + "Hi\r\nxab");
  // Few reads and few large writes.
  EXPECT_LE(platform.reads, 3);
  EXPECT_LE(platform.output_writes, 2);
}

TEST(RunTest, AnImageEndingInsideTheRegion) {
  for (size_t size : {size_t{0x40}, size_t{REGION_FIRST}, size_t{REGION_FIRST + 2}, size_t{REGION_LAST}}) {
    FakePlatform platform;
    platform.files[TABLE_FILE_NAME] = ascii_table_file();
    std::string image = good_image(size);
    if (size > REGION_FIRST) image.replace(REGION_FIRST, 2, "Hi");
    for (size_t at = REGION_FIRST + 2; at + 1 < size; at += 2) image.replace(at, 2, "\x7F\x04");
    platform.files["rom"] = image;
    EXPECT_EQ(run_with(platform, {"rom"}), 1) << size;
    const std::string text = size > REGION_FIRST ? "Hi" : "";
    EXPECT_EQ(platform.out, banner_of(platform.out) + legend() + text + TRUNCATED_MESSAGE) << size;
  }
}

TEST(RunTest, AFailedOutputIsStatusOneWithALineOnStandardError) {
  FakePlatform ok;
  EXPECT_EQ(run_with(ok, {}), 0);
  EXPECT_TRUE(ok.err.empty());

  FakePlatform platform;
  platform.output_fails = true;
  EXPECT_EQ(run_with(platform, {}), 1);
  EXPECT_FALSE(platform.err.empty());
  EXPECT_EQ(platform.err.find('\n'), platform.err.size() - 1);
}
