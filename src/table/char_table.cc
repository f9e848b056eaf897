#include "table/char_table.h"

void load_char_table(const uint8_t* bytes, size_t n, CharTable& table) {
  for (size_t k = 0; k < 256; ++k) {
    TableCell& cell = table.cells[k];
    for (size_t i = 0; i < 2; ++i) {
      const size_t offset = 2 * k + i;
      cell.text[i] = offset < n ? bytes[offset] : 0x00;
    }
    cell.text[2] = 0x00;
  }
}
