// The character table as text: one line per code, `XX=text`, in UTF-8, the
// form translators keep their tables in. `parse_table_text` turns such a text
// into the 512 bytes of a table file; `dump_table_text` writes the text of a
// table file. Both work on bytes in memory and give the same result on every
// platform: the Shift_JIS conversion is the project's own code page 932
// mapping, never the system's.
//
// Text form read by `parse_table_text`:
// - Lines `XX=text`: XX is two hex digits (either case), the code; the text is
//   everything after the first `=` to the end of the line (an `=` or a blank
//   in the text belongs to it; the CR of a CRLF does not). Blank lines are
//   skipped; lines come in any order; LF or CRLF.
// - UTF-8 with or without a byte-order mark; with TextEncoding::AUTO a text
//   that is not valid UTF-8 is read as Shift_JIS.
// - Each text is stored as its code page 932 bytes and must fit a cell (at
//   most two bytes). `XX=` and a code that is not listed give an empty cell.
// - Escaped cells `XX:HH` or `XX:HHHH`: the cell's one or two bytes in hex
//   (either case, none of them 00), for cells that are not Shift_JIS text.
//   Having no `=`, such a line is no entry for other readers of the
//   table-file format, which cannot take it for text.
// - Entries for 7F and CD are warned about (the messages never look those
//   cells up). A line that is not an entry, a code listed twice, a text over
//   two bytes and a character without a code page 932 form are errors.
// Every problem of the text is reported, not only the first.
#ifndef ZIREL_TABLE_TABLE_TEXT_H_
#define ZIREL_TABLE_TABLE_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "table/char_table.h"

enum class TextEncoding {
  AUTO,       // UTF-8 when the text is valid UTF-8, Shift_JIS otherwise
  UTF8,       // UTF-8 only; invalid sequences are errors
  SHIFT_JIS,  // code page 932
};

// One error or warning, in English, without the file name: the front end
// puts "FILE:LINE: error: " or "FILE:LINE: warning: " before `message`.
struct TableTextProblem {
  size_t line;  // 1 for the first line; 0 when it concerns the whole text
  bool is_error;
  std::string message;
};

struct TableTextResult {
  uint8_t table[TABLE_FILE_BYTES] = {};  // the table file's bytes
  std::vector<TableTextProblem> problems;  // in line order
  // True when no problem is an error: `table` may then be written.
  bool ok() const {
    for (const TableTextProblem& p : problems) {
      if (p.is_error) return false;
    }
    return true;
  }
};

// Parses `n` bytes of a text table.
TableTextResult parse_table_text(const uint8_t* text, size_t n,
                                 TextEncoding encoding);

// The text table of the first `n` bytes of a table file (read as
// `load_char_table` reads them): UTF-8, LF line ends, one line per code whose
// cell holds a text, in code order, `XX=text` with XX in upper case. A cell
// whose text is not Shift_JIS text that code page 932 gives back as the same
// bytes (a control byte, a lone lead byte, a pair no character has, a
// character that is written with another code) comes out escaped, `XX:HH`
// or `XX:HHHH`. Parsing the result gives every cell its text again.
std::string dump_table_text(const uint8_t* bytes, size_t n);

#endif  // ZIREL_TABLE_TABLE_TEXT_H_
