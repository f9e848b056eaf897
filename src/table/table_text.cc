#include "table/table_text.h"

#include <cstdio>

#include "table/cp932.h"

namespace {

int hex_value(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string hex_byte(unsigned b) {
  static const char DIGITS[] = "0123456789ABCDEF";
  return {DIGITS[(b >> 4) & 0xF], DIGITS[b & 0xF]};
}

std::string u_plus(uint32_t cp) {
  char s[16];
  std::snprintf(s, sizeof s, "U+%04X", static_cast<unsigned>(cp));
  return s;
}

void append_utf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The UTF-8 sequence at p (n bytes available): its length, with the code
// point in *cp, or 0 when it is not valid UTF-8 (overlong forms, surrogates
// and values above U+10FFFF are not).
size_t utf8_sequence(const uint8_t* p, size_t n, uint32_t* cp) {
  const uint8_t b = p[0];
  size_t len;
  uint32_t value;
  uint32_t least;
  if (b < 0x80) {
    *cp = b;
    return 1;
  } else if (b >= 0xC2 && b <= 0xDF) {
    len = 2, value = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3, value = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4, value = b & 0x07, least = 0x10000;
  } else {
    return 0;
  }
  if (n < len) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    value = value << 6 | (p[i] & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0;
  }
  *cp = value;
  return len;
}

// The line (1 for the first) of the first byte from `start` on that is not
// valid UTF-8, or 0 when all of it is.
size_t first_bad_utf8_line(const uint8_t* text, size_t n, size_t start) {
  size_t line = 1;
  uint32_t cp;
  for (size_t i = start; i < n;) {
    const size_t len = utf8_sequence(text + i, n - i, &cp);
    if (len == 0) return line;
    if (text[i] == '\n') ++line;
    i += len;
  }
  return 0;
}

// The characters that a readable text may hold: not the control codes.
bool is_control(uint32_t cp) { return cp < 0x20 || cp == 0x7F; }

class Parser {
 public:
  Parser(TableTextResult& result, bool shift_jis)
      : result_(result), shift_jis_(shift_jis) {}

  void line(size_t number, const uint8_t* p, size_t n) {
    number_ = number;
    if (n > 0 && p[n - 1] == '\r') --n;
    bool blank = true;
    for (size_t i = 0; i < n && blank; ++i) blank = p[i] == ' ' || p[i] == '\t';
    if (blank) return;

    size_t digits = 0;
    while (digits < n && hex_value(p[digits]) >= 0) ++digits;
    const uint8_t after = digits < n ? p[digits] : 0;
    if (digits == 2 && (after == '=' || after == ':')) {
      const unsigned code = static_cast<unsigned>(hex_value(p[0]) << 4 | hex_value(p[1]));
      if (after == '=') {
        entry(code, p + 3, n - 3);
      } else {
        escaped_entry(code, p + 3, n - 3);
      }
      return;
    }
    not_an_entry(p, n, digits, after);
  }

 private:
  void error(const std::string& message) {
    result_.problems.push_back({number_, true, message});
  }
  void warning(const std::string& message) {
    result_.problems.push_back({number_, false, message});
  }

  // The checks every entry gets, whatever its form; false when the code
  // was listed before (its cell keeps the first entry's text).
  bool claim(unsigned code) {
    if (code == 0x7F) {
      warning("code 7F is never looked up: in the messages it opens a control item, "
              "so this text is never written");
    } else if (code == 0xCD) {
      warning("code CD is never looked up: in the messages it ends a line, "
              "so this text is never written");
    }
    if (first_line_[code] != 0) {
      error("code " + hex_byte(code) + " is listed twice (first on line " +
            std::to_string(first_line_[code]) + "); keep one of the two lines");
      return false;
    }
    first_line_[code] = number_;
    return true;
  }

  void store(unsigned code, const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
      result_.table[2 * code + i] = static_cast<uint8_t>(bytes[i]);
    }
  }

  void entry(unsigned code, const uint8_t* p, size_t n) {
    const bool first = claim(code);
    std::string bytes;
    if (!convert(p, n, bytes)) return;
    if (bytes.size() > 2) {
      error("the text of code " + hex_byte(code) + " takes " + std::to_string(bytes.size()) +
            " bytes in Shift_JIS, and a cell holds two at most: one full-width "
            "character, or one or two half-width ones");
      return;
    }
    if (first) store(code, bytes);
  }

  // XX:HH or XX:HHHH, the bytes of a cell that is not Shift_JIS text.
  void escaped_entry(unsigned code, const uint8_t* p, size_t n) {
    const bool first = claim(code);
    std::string bytes;
    bool good = n == 2 || n == 4;
    for (size_t i = 0; good && i < n; i += 2) {
      const int high = hex_value(p[i]);
      const int low = hex_value(p[i + 1]);
      good = high >= 0 && low >= 0 && (high | low) != 0;
      if (good) bytes += static_cast<char>(high << 4 | low);
    }
    if (!good) {
      error("the escaped cell of code " + hex_byte(code) +
            " is not XX:HH or XX:HHHH (its one or two bytes in hex, none of them 00)");
      return;
    }
    if (first) store(code, bytes);
  }

  // The text's code page 932 bytes in `bytes`; false after reporting why
  // there are none.
  bool convert(const uint8_t* p, size_t n, std::string& bytes) {
    for (size_t i = 0; i < n; ++i) {
      if (p[i] == '\r') {
        error("a carriage return (CR) inside the line: lines end with LF or CR LF "
              "(a file with CR alone as line end must be converted first)");
        return false;
      }
    }
    bool good = true;
    for (size_t i = 0; i < n;) {
      if (p[i] == 0) {
        error("a zero byte (NUL) in the text: it would end the cell's text; "
              "write the cell escaped instead (XX:HH or XX:HHHH)");
        return false;
      }
      if (shift_jis_) {
        uint16_t code = p[i];
        size_t len = 1;
        if (cp932_is_lead(p[i])) {
          if (i + 1 == n) {
            error("byte " + hex_byte(p[i]) +
                  " at the end of the text is the first half of a two-byte "
                  "Shift_JIS character whose second half is missing");
            return false;
          }
          code = static_cast<uint16_t>(p[i] << 8 | p[i + 1]);
          len = 2;
        }
        if (cp932_to_unicode(code) == 0) {
          error((len == 1 ? "byte " + hex_byte(code)
                          : "bytes " + hex_byte(code >> 8) + " " + hex_byte(code & 0xFF)) +
                " of the text " + (len == 1 ? "is" : "are") +
                " no Shift_JIS character (code page 932)");
          good = false;
        }
        bytes.append(reinterpret_cast<const char*>(p + i), len);
        i += len;
      } else {
        uint32_t cp;
        const size_t len = utf8_sequence(p + i, n - i, &cp);
        if (len == 0) {
          error("the text is not valid UTF-8 (byte " + hex_byte(p[i]) + " at column " +
                std::to_string(i + 4) + "); save the file as UTF-8");
          return false;
        }
        const uint16_t code = cp932_from_unicode(cp);
        if (code == 0) {
          std::string shown;
          if (cp >= 0xA0) {
            shown = " (";
            append_utf8(shown, cp);
            shown += ")";
          }
          error("the character " + u_plus(cp) + shown +
                " has no Shift_JIS form (code page 932); use another character, "
                "or write the cell's bytes escaped (XX:HH or XX:HHHH)");
          good = false;
        } else if (code > 0xFF) {
          bytes += static_cast<char>(code >> 8);
          bytes += static_cast<char>(code & 0xFF);
        } else {
          bytes += static_cast<char>(code);
        }
        i += len;
      }
    }
    return good;
  }

  void not_an_entry(const uint8_t* p, size_t n, size_t digits, uint8_t after) {
    const char* kind = nullptr;
    switch (p[0]) {
      case '$': kind = "a control-code entry ($XX=...)"; break;
      case '/': kind = "an end-token entry (/XX=...)"; break;
      case '!': kind = "a table-switch entry (!XX=...)"; break;
      case '@': kind = "a table-name line (@...)"; break;
      case '*': kind = "a line-break entry (*XX=...)"; break;
      default: break;
    }
    if (kind != nullptr) {
      error(std::string("this is ") + kind +
            " of the table-file format; this table holds one-byte character codes "
            "only, each as XX=text");
      return;
    }
    if (digits > 0 && (after == '=' || after == ':')) {
      const std::string key(reinterpret_cast<const char*>(p), digits);
      if (digits % 2 == 0) {
        error("the key " + key + " is a code of " + std::to_string(digits / 2) +
              " bytes; this table holds one-byte codes only, two hex digits 00 to FF");
      } else {
        error("the key " + key + " has " + std::to_string(digits) + " hex digit" +
              (digits == 1 ? "" : "s") + "; write the code as two hex digits, 00 to FF");
      }
      return;
    }
    (void)n;
    error("not an entry: write XX=text (the code as two hex digits, then =, then "
          "the text)");
  }

  TableTextResult& result_;
  const bool shift_jis_;
  size_t number_ = 0;
  size_t first_line_[256] = {};
};

// The cell's text as UTF-8 in `out`, or false when the cell does not hold
// Shift_JIS text that `parse_table_text` turns back into the same bytes.
bool cell_as_text(const TableCell& cell, std::string& out) {
  const size_t n = cell.length();
  for (size_t i = 0; i < n;) {
    uint16_t code = cell.text[i];
    if (cp932_is_lead(cell.text[i])) {
      if (i + 1 == n) return false;
      code = static_cast<uint16_t>(cell.text[i] << 8 | cell.text[i + 1]);
      i += 2;
    } else {
      i += 1;
    }
    const uint32_t cp = cp932_to_unicode(code);
    if (cp == 0 || is_control(cp) || cp932_from_unicode(cp) != code) return false;
    append_utf8(out, cp);
  }
  return true;
}

}  // namespace

TableTextResult parse_table_text(const uint8_t* text, size_t n, TextEncoding encoding) {
  TableTextResult result;
  // Saved as UTF-16 ("Unicode" in some editors): every line would be
  // refused for its zero bytes; one message says what is wrong instead.
  if (n >= 2 && ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF))) {
    result.problems.push_back(
        {1, true, "the text is UTF-16 (it starts with a UTF-16 byte-order mark); save it as UTF-8"});
    return result;
  }
  const bool bom = n >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF;
  const size_t start = bom ? 3 : 0;
  bool shift_jis = encoding == TextEncoding::SHIFT_JIS;
  if (encoding == TextEncoding::SHIFT_JIS && bom) {
    result.problems.push_back(
        {1, true,
         "the text starts with a UTF-8 byte-order mark, so it is UTF-8, "
         "not Shift_JIS as asked for"});
  } else if (encoding == TextEncoding::AUTO && !bom) {
    const size_t bad = first_bad_utf8_line(text, n, start);
    if (bad != 0) {
      shift_jis = true;
      result.problems.push_back(
          {0, false,
           "not valid UTF-8 (first on line " + std::to_string(bad) +
               "), so read as Shift_JIS (code page 932)"});
    }
  }

  Parser parser(result, shift_jis);
  size_t number = 1;
  size_t from = start;
  for (size_t i = start; i <= n; ++i) {
    if (i == n || text[i] == '\n') {
      parser.line(number, text + from, i - from);
      ++number;
      from = i + 1;
    }
  }
  return result;
}

std::string dump_table_text(const uint8_t* bytes, size_t n) {
  CharTable table;
  load_char_table(bytes, n, table);
  std::string out;
  for (unsigned code = 0; code < 256; ++code) {
    const TableCell& cell = table.cells[code];
    const size_t length = cell.length();
    if (length == 0) continue;
    out += hex_byte(code);
    std::string text;
    if (cell_as_text(cell, text)) {
      out += '=';
      out += text;
    } else {
      out += ':';
      for (size_t i = 0; i < length; ++i) out += hex_byte(cell.text[i]);
    }
    out += '\n';
  }
  return out;
}
