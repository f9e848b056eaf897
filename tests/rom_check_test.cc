#include "rom/rom_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main/output.h"
#include "expected_texts.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> good_header() {
  std::vector<uint8_t> header(HEADER_BYTES, 0x11);
  header[0x08] = 0x80;
  header[0x20] = 'Z';
  header[0x21] = 'I';
  header[0x22] = 'R';
  header[0x23] = 'E';
  header[0x3F] = 0x00;
  return header;
}

// Runs the checks on `header`; returns the output, and whether it passed.
std::string check(const std::vector<uint8_t>& header, bool* passed) {
  MemorySink sink;
  Output out(sink);
  *passed = check_rom_image(header.data(), header.size(), out);
  out.finish();
  return sink.bytes;
}

}  // namespace

TEST(RomCheckTest, AGoodHeaderPassesSilently) {
  bool passed = false;
  EXPECT_EQ(check(good_header(), &passed), "");
  EXPECT_TRUE(passed);
}

TEST(RomCheckTest, EachMismatchGivesItsMessage) {
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
    std::string message;
  } cases[] = {
      {"byte-swapped image", 0x08, 0x37, FORMAT_MESSAGE},
      {"little-endian image", 0x08, 0x40, FORMAT_MESSAGE},
      {"wrong first title letter", 0x20, 'X', TITLE_MESSAGE},
      {"wrong fourth title letter", 0x23, 'X', TITLE_MESSAGE},
      {"lower-case title letter", 0x21, 'i', TITLE_MESSAGE},
      {"version 1", 0x3F, 0x01, version_message('1')},
      {"version 2", 0x3F, 0x02, version_message('2')},
      {"version 0x0A", 0x3F, 0x0A, version_message(':')},
      {"version 0xD0", 0x3F, 0xD0, version_message('\0')},
      {"version 0xFF", 0x3F, 0xFF, version_message('\x2F')},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> header = good_header();
    header[c.offset] = c.value;
    bool passed = true;
    EXPECT_EQ(check(header, &passed), c.message) << c.what;
    EXPECT_FALSE(passed) << c.what;
  }
}

TEST(RomCheckTest, TheFirstFailingCheckIsTheOnlyOneReported) {
  std::vector<uint8_t> header = good_header();
  header[0x08] = 0x00;
  header[0x20] = 'X';
  header[0x3F] = 0x01;
  bool passed = true;
  EXPECT_EQ(check(header, &passed), FORMAT_MESSAGE);
}

TEST(RomCheckTest, AShortImageFailsTheFirstCheckItCannotReach) {
  // Lengths from 0 to the full header, every one: a byte the image lacks
  // matches nothing, and a missing version byte reads as -1, giving '/'.
  for (size_t size = 0; size <= HEADER_BYTES; ++size) {
    std::vector<uint8_t> header = good_header();
    header.resize(size);
    std::string expected;
    if (size <= 0x08) {
      expected = FORMAT_MESSAGE;
    } else if (size < 0x24) {
      expected = TITLE_MESSAGE;
    } else if (size < 0x40) {
      expected = version_message('/');
    }
    bool passed = false;
    EXPECT_EQ(check(header, &passed), expected) << size;
    EXPECT_EQ(passed, size == HEADER_BYTES) << size;
  }
}

TEST(RomCheckTest, BytesOutsideTheThreePlacesDoNotMatter) {
  std::vector<uint8_t> header = good_header();
  for (size_t i = 0; i < header.size(); ++i) {
    if (i == 0x08 || (i >= 0x20 && i <= 0x23) || i == 0x3F) continue;
    header[i] = static_cast<uint8_t>(0xFF - i);
  }
  bool passed = false;
  EXPECT_EQ(check(header, &passed), "");
  EXPECT_TRUE(passed);
}
