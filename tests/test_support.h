// Helpers shared by the in-memory tests: an output sink that keeps what it
// is given, and text in the form the tool writes it.
#ifndef ZIREL_TESTS_TEST_SUPPORT_H_
#define ZIREL_TESTS_TEST_SUPPORT_H_

#include <cstdint>
#include <string>

#include "decode/decoder.h"
#include "main/output.h"
#include "table/char_table.h"

// Keeps every byte written to it; can be told to fail from a given write on.
struct MemorySink : OutputSink {
  std::string bytes;
  int writes = 0;
  int fail_from_write = -1;  // index of the first write that fails; -1: none

  bool write(const uint8_t* data, size_t n) override {
    if (fail_from_write >= 0 && writes >= fail_from_write) {
      ++writes;
      return false;
    }
    ++writes;
    bytes.append(reinterpret_cast<const char*>(data), n);
    return true;
  }
};

// `text` as the tool delivers it: every 0x0A preceded by 0x0D.
inline std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A table file whose cells for printable ASCII hold that one character, and
// all others nothing.
inline std::string ascii_table_file() {
  std::string file(TABLE_FILE_BYTES, '\0');
  for (int k = 0x20; k < 0x7F; ++k) file[2 * k] = static_cast<char>(k);
  return file;
}

// That table loaded; tests add the cells they need.
inline CharTable ascii_table() {
  const std::string file = ascii_table_file();
  CharTable table;
  load_char_table(reinterpret_cast<const uint8_t*>(file.data()), file.size(), table);
  return table;
}

// The first `size` bytes of an image whose header passes the checks: 0x80
// at 0x08 and "ZIRE" at 0x20, all else zero.
inline std::string good_image(size_t size) {
  std::string image(size, '\0');
  if (size > 0x08) image[0x08] = '\x80';
  for (size_t i = 0; i < 4 && 0x20 + i < size; ++i) image[0x20 + i] = "ZIRE"[i];
  return image;
}

// The symbol legend as the tool delivers it.
inline std::string legend() { return crlf(std::string(SYMBOL_LEGEND, SYMBOL_LEGEND_SIZE)); }

inline std::string bytes_of(const uint8_t* data, size_t n) {
  return std::string(reinterpret_cast<const char*>(data), n);
}

#endif  // ZIREL_TESTS_TEST_SUPPORT_H_
