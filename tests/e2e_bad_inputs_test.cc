// End-to-end runs on what a user may hand the tool by mistake: names that
// are very long or hold odd bytes, names that are not regular files, images
// that end anywhere in the header, tables of any length, a standard output
// that is closed or read-only. Every run ends in bounded time (each has a
// time limit) with its message and status, and leaves every file in its
// directory as it was.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "e2e_support.h"

namespace {

// The version message of an image that ends before 0x3F: end of file gives
// the version character '/'.
const std::string NO_VERSION_MESSAGE = version_message('/');

// Every run gets this long at most: opening a name never waits.
const std::string TIME_LIMIT = "timeout 10 ";

uint64_t checksum(const std::string& bytes) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return h;
}

// What a run could change in a directory: each entry with its type, size,
// modification time and, for a regular file, a checksum of its bytes. The
// directory's own entry "." shows names added or removed. A FIFO is never
// opened.
std::map<std::string, std::string> snapshot(const std::string& dir) {
  std::map<std::string, std::string> entries;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return entries;
  while (const dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "..") continue;
    const std::string path = dir + "/" + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
      entries[name] = "gone";
      continue;
    }
    std::string state = "mode " + std::to_string(info.st_mode) + " size " +
                        std::to_string(info.st_size) + " mtime " +
                        std::to_string(info.st_mtim.tv_sec) + "." +
                        std::to_string(info.st_mtim.tv_nsec);
    if (S_ISREG(info.st_mode)) state += " sum " + std::to_string(checksum(read_file(path)));
    entries[name] = state;
  }
  closedir(d);
  return entries;
}

class BadInputTest : public E2eTest {
 protected:
  // Runs the tool under the time limit, and checks that the run left every
  // file in the directory as it was.
  Result run_checked(const std::vector<std::string>& args, const std::string& redirect = "") {
    const auto before = snapshot(box_.dir());
    Result r = run_on(args, redirect, TIME_LIMIT);
    EXPECT_EQ(snapshot(box_.dir()), before) << "a run changed its directory";
    return r;
  }
};

}  // namespace

TEST_F(BadInputTest, AVeryLongNameIsNotFound) {
  // 100,000 characters: a name of no file, and a name of the existing image
  // that is far too long for the system to look up.
  prepare(image_with_text("Hi"));
  std::string to_image = box_.dir();
  to_image += std::string(100000 - to_image.size() - 8, '/') + "/rom.z64";
  for (const std::string& name : {std::string(100000, 'a'), to_image}) {
    ASSERT_EQ(name.size(), 100000u);
    const Result r = run_checked({name});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out == banner() + "file " + name + " not found.\r\n")
        << "output of " << r.out.size() << " bytes";
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(BadInputTest, ANameWithALineFeedAndPercentSigns) {
  // The name is written as it is, but for its line feed, which goes out as
  // every line feed does; a percent sign is a plain character.
  const std::string name = "rom\n%s%n%%.z64";
  write_file(box_.path(TABLE_FILE_NAME), ascii_table_file());
  const Result missing = run_checked({name});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, banner() + "file rom\r\n%s%n%%.z64 not found.\r\n");
  EXPECT_EQ(missing.err, "");

  write_file(box_.path(name), image_with_text("Hi"));
  const Result found = run_checked({name});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, banner() + legend() + "Hi");
  EXPECT_EQ(found.err, "");
}

TEST_F(BadInputTest, ARomImageThatIsNoRegularFileIsNotFound) {
  // Refused at once, without reading: a FIFO without a writer would block a
  // reader, and a device may never end.
  prepare(image_with_text("Hi"));
  mkdir(box_.path("a directory").c_str(), 0755);
  ASSERT_EQ(mkfifo(box_.path("a fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("/dev/zero", box_.path("zeros.z64").c_str()), 0);
  ASSERT_EQ(symlink("loop.z64", box_.path("loop.z64").c_str()), 0);
  for (const char* name :
       {"a directory", "a fifo", "/dev/null", "/dev/zero", "zeros.z64", "loop.z64"}) {
    const Result r = run_checked({name});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.out, banner() + "file " + name + " not found.\r\n") << name;
    EXPECT_EQ(r.err, "") << name;
  }
}

TEST_F(BadInputTest, ATableThatIsNoRegularFileIsNotFound) {
  write_file(box_.path("rom.z64"), image_with_text("Hi"));
  const std::string table = box_.path(TABLE_FILE_NAME);
  const struct {
    const char* what;
    int (*make)(const char* path);
  } cases[] = {
      {"a directory", [](const char* p) { return mkdir(p, 0755); }},
      {"a fifo", [](const char* p) { return mkfifo(p, 0644); }},
      {"a link to /dev/null", [](const char* p) { return symlink("/dev/null", p); }},
      {"a link to /dev/zero", [](const char* p) { return symlink("/dev/zero", p); }},
      {"a link that loops", [](const char* p) { return symlink(TABLE_FILE_NAME, p); }},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.make(table.c_str()), 0) << c.what;
    const Result r = run_checked({"rom.z64"});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(r.out, banner() + "table data not found.\r\n") << c.what;
    EXPECT_EQ(r.err, "") << c.what;
    ASSERT_EQ(std::remove(table.c_str()), 0) << c.what;
  }
}

TEST_F(BadInputTest, ImagesEndingInsideTheHeader) {
  // Every length from 0 to 0x40 bytes of an image whose header passes: the
  // first check that meets the image's end refuses it, and a whole header
  // leads to a region that the image lacks.
  write_file(box_.path(TABLE_FILE_NAME), ascii_table_file());
  for (size_t n = 0; n <= 0x40; ++n) {
    const std::string image = good_image(n);
    write_file(box_.path("rom.z64"), image);
    const Result r = run_checked({"rom.z64"});
    const std::string expected = n <= 0x08   ? FORMAT_MESSAGE
                                 : n < 0x24  ? TITLE_MESSAGE
                                 : n < 0x40  ? NO_VERSION_MESSAGE
                                             : legend() + TRUNCATED_MESSAGE;
    EXPECT_EQ(r.status, 1) << n;
    EXPECT_EQ(r.out, banner() + expected) << n;
    EXPECT_EQ(r.err, "") << n;
    EXPECT_EQ(read_file(box_.path("rom.z64")), image) << n;
  }
}

TEST_F(BadInputTest, ATableOfAnyLengthIsNoError) {
  // Cells come from the table's bytes as far as it has them; the rest are
  // empty, and bytes past 512 are ignored. The region holds glyphs 0x00,
  // 'A' and 0xFE.
  std::string full = ascii_table_file();
  full.replace(0, 2, "Z\0", 2);
  full.replace(2 * 0xFE, 2, "xy");
  const struct {
    size_t length;
    std::string text;
  } cases[] = {
      {0, ""},      {1, "Z"},      {2, "Z"},      {2 * 'A', "Z"},  {2 * 'A' + 1, "ZA"},
      {2 * 0xFE + 1, "ZAx"}, {2 * 0xFE + 2, "ZAxy"}, {511, "ZAxy"}, {512, "ZAxy"},
      {513, "ZAxy"}, {100000, "ZAxy"},
  };
  write_file(box_.path("rom.z64"), image_with_text(std::string("\0A\xFE", 3)));
  for (const auto& c : cases) {
    std::string table = full;
    table.resize(c.length, '\xCD');
    write_file(box_.path(TABLE_FILE_NAME), table);
    const Result r = run_checked({"rom.z64"});
    EXPECT_EQ(r.status, 0) << c.length;
    EXPECT_EQ(r.out, banner() + legend() + c.text) << c.length;
    EXPECT_EQ(r.err, "") << c.length;
  }
}

TEST_F(BadInputTest, AClosedOrReadOnlyStandardOutput) {
  // With standard output closed the image may be opened as descriptor 1,
  // and with "1<" standard output is the image itself, read-only: the
  // writes fail, nothing reaches a file, and one line says so.
  struct Case {
    const char* what;
    std::string image;
  } cases[] = {
      {"a whole image", image_with_text("Hi")},
      {"a refused image", std::string(0x40, '\0')},
      {"an image that ends in the region", good_image(REGION_FIRST + 10)},
  };
  write_file(box_.path(TABLE_FILE_NAME), ascii_table_file());
  for (const Case& c : cases) {
    write_file(box_.path("rom.z64"), c.image);
    for (const char* redirect : {">&-", "1< rom.z64"}) {
      const Result r = run_checked({"rom.z64"}, redirect);
      EXPECT_EQ(r.status, 1) << c.what << ", " << redirect;
      ASSERT_FALSE(r.err.empty()) << c.what << ", " << redirect;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ", " << redirect;
      EXPECT_EQ(r.err.back(), '\n') << c.what << ", " << redirect;
    }
  }
}
