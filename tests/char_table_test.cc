#include "table/char_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

std::string text_of(const TableCell& cell) {
  return std::string(reinterpret_cast<const char*>(cell.text), cell.length());
}

std::vector<uint8_t> numbered_file(size_t size) {
  std::vector<uint8_t> file(size);
  for (size_t i = 0; i < size; ++i) file[i] = static_cast<uint8_t>(i % 251 + 1);
  return file;
}

}  // namespace

TEST(CharTableTest, RecordTextEndsAtTheFirstZeroByte) {
  struct Case {
    uint8_t first, second;
    std::string text;
  } cases[] = {
      {0x41, 0x00, "A"},            // one byte
      {0x00, 0x41, ""},             // no text: the second byte is ignored
      {0x82, 0xA0, "\x82\xA0"},     // a two-byte character
      {0x0D, 0x1A, "\x0D\x1A"},     // no byte is special
      {0x41, 0x0A, "A\n"},          // a line feed is kept as it is
  };
  for (const Case& c : cases) {
    uint8_t file[TABLE_FILE_BYTES] = {};
    file[2 * 0x30] = c.first;
    file[2 * 0x30 + 1] = c.second;
    CharTable table;
    load_char_table(file, sizeof file, table);
    EXPECT_EQ(text_of(table.cells[0x30]), c.text) << int(c.first) << " " << int(c.second);
    EXPECT_EQ(table.cells[0x30].text[2], 0);
  }
}

TEST(CharTableTest, RecordKHoldsCodeK) {
  const std::vector<uint8_t> file = numbered_file(TABLE_FILE_BYTES);
  CharTable table;
  load_char_table(file.data(), file.size(), table);
  for (size_t k = 0; k < 256; ++k) {
    EXPECT_EQ(table.cells[k].text[0], file[2 * k]);
    EXPECT_EQ(table.cells[k].text[1], file[2 * k + 1]);
  }
}

TEST(CharTableTest, BytesFrom512OnAreIgnored) {
  std::vector<uint8_t> file = numbered_file(600);
  CharTable long_table, exact_table;
  load_char_table(file.data(), file.size(), long_table);
  load_char_table(file.data(), TABLE_FILE_BYTES, exact_table);
  for (size_t k = 0; k < 256; ++k) {
    EXPECT_EQ(text_of(long_table.cells[k]), text_of(exact_table.cells[k]));
  }
}

TEST(CharTableTest, AShortFileFillsFromTheFrontAndLeavesZeros) {
  // Cells the file does not reach are cleared, whatever they held before.
  for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{300}, size_t{511}}) {
    const std::vector<uint8_t> file = numbered_file(size);
    CharTable table;
    std::memset(&table, 0xEE, sizeof table);
    load_char_table(file.data(), size, table);
    for (size_t k = 0; k < 256; ++k) {
      for (size_t i = 0; i < 2; ++i) {
        const size_t offset = 2 * k + i;
        EXPECT_EQ(table.cells[k].text[i], offset < size ? file[offset] : 0) << size << " " << k;
      }
      EXPECT_EQ(table.cells[k].text[2], 0);
    }
  }
}

TEST(CharTableTest, A511ByteFileGivesTheLastCellOneByte) {
  const std::vector<uint8_t> file = numbered_file(511);
  CharTable table;
  load_char_table(file.data(), file.size(), table);
  EXPECT_EQ(table.cells[254].length(), 2u);
  EXPECT_EQ(text_of(table.cells[255]), std::string(1, static_cast<char>(file[510])));
}
