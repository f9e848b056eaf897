// The character table: which text each of the game's 256 one-byte character
// codes stands for.
//
// The table file `zirel.tbl` is 256 records of two bytes, record k at offset
// 2k holding the text of code k: its bytes up to the first zero byte, so a
// text is empty, one byte or two bytes. Bytes from offset 512 on are ignored.
// The contents are never validated; 0x0D, 0x0A and 0x1A are ordinary bytes.
#ifndef ZIREL_TABLE_CHAR_TABLE_H_
#define ZIREL_TABLE_CHAR_TABLE_H_

#include <cstddef>
#include <cstdint>

// Bytes of the table file that are read: 256 records of 2 bytes.
constexpr size_t TABLE_FILE_BYTES = 512;

// One cell: the record's two bytes in file order, then a zero byte, so the
// text never reaches past the cell.
struct TableCell {
  uint8_t text[3];

  // Length of the cell's text: 0, 1 or 2.
  size_t length() const { return text[0] == 0 ? 0 : (text[1] == 0 ? 1 : 2); }
};

struct CharTable {
  TableCell cells[256];
};

// Fills `table` from the first `n` bytes of a table file (`bytes` holds them;
// n may be below or above 512). Records are taken in order from offset 0; a
// byte that the file does not supply is 0x00, so a short file gives empty or
// one-byte texts from where it ends. Reports nothing.
void load_char_table(const uint8_t* bytes, size_t n, CharTable& table);

#endif  // ZIREL_TABLE_CHAR_TABLE_H_
