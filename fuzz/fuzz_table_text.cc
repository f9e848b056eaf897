// Fuzz target: the text table's parser and writer. An input is read twice:
// as a text table, in each of the three encodings, and as a table file.
//
// Checked on every input:
// - as a text table: every problem has a line within the text, lines in
//   order; a text that parses without errors gives a table whose dump parses
//   again, without errors, to the same 512 bytes;
// - as a table file: its dump parses without errors, as UTF-8 and as found
//   by itself alike, to a table whose every cell holds the file's cell text,
//   and whose bytes are the file's where its records are zero after their
//   texts.
#include <cstring>
#include <string>

#include "fuzz_checks.h"
#include "table/char_table.h"
#include "table/table_text.h"

namespace {

size_t line_count(const uint8_t* data, size_t size) {
  size_t lines = 1;
  for (size_t i = 0; i < size; ++i) lines += data[i] == '\n';
  return lines;
}

TableTextResult parse(const std::string& text, TextEncoding encoding) {
  return parse_table_text(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                          encoding);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const size_t lines = line_count(data, size);
  for (TextEncoding encoding :
       {TextEncoding::AUTO, TextEncoding::UTF8, TextEncoding::SHIFT_JIS}) {
    const TableTextResult r = parse_table_text(data, size, encoding);
    size_t last = 0;
    for (const TableTextProblem& p : r.problems) {
      FUZZ_CHECK(p.line <= lines);
      FUZZ_CHECK(p.line >= last);
      FUZZ_CHECK(!p.message.empty());
      last = p.line;
    }
    if (r.ok()) {
      const TableTextResult again =
          parse(dump_table_text(r.table, TABLE_FILE_BYTES), TextEncoding::UTF8);
      FUZZ_CHECK(again.ok());
      FUZZ_CHECK(std::memcmp(again.table, r.table, TABLE_FILE_BYTES) == 0);
    }
  }

  CharTable table;
  load_char_table(data, size, table);
  const std::string text = dump_table_text(data, size);
  const TableTextResult built = parse(text, TextEncoding::UTF8);
  FUZZ_CHECK(built.ok());
  FUZZ_CHECK(std::memcmp(parse(text, TextEncoding::AUTO).table, built.table,
                         TABLE_FILE_BYTES) == 0);
  // The cell's text, then zero bytes: the file's record itself where it is
  // zero after its text.
  for (size_t k = 0; k < 256; ++k) {
    const TableCell& cell = table.cells[k];
    const size_t length = cell.length();
    for (size_t i = 0; i < 2; ++i) {
      FUZZ_CHECK(built.table[2 * k + i] == (i < length ? cell.text[i] : 0));
    }
  }
  return 0;
}
