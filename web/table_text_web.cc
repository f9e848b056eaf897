// The text-table reader for the page: parse_table_text on a text table the
// page holds, with the result laid out for the page to read.
#include <cstdint>
#include <string>

#include "table/table_text.h"

namespace {

// What zirel_parse_table_text returns: the table file's bytes, then where
// the problems' text is and its size. The text has one line per problem,
// "LINE\tKIND\tMESSAGE\n", KIND "error" or "warning", LINE 0 for the whole
// text.
struct WebTableResult {
  uint8_t table[TABLE_FILE_BYTES];
  uint32_t problems_at;
  uint32_t problems_size;
};

WebTableResult web_result;
std::string problems_text;

}  // namespace

extern "C" __attribute__((export_name("zirel_parse_table_text")))
const WebTableResult* zirel_parse_table_text(const uint8_t* text, size_t n) {
  const TableTextResult result = parse_table_text(text, n, TextEncoding::AUTO);
  for (size_t i = 0; i < TABLE_FILE_BYTES; ++i) web_result.table[i] = result.table[i];
  problems_text.clear();
  for (const TableTextProblem& p : result.problems) {
    problems_text += std::to_string(p.line);
    problems_text += p.is_error ? "\terror\t" : "\twarning\t";
    problems_text += p.message;
    problems_text += '\n';
  }
  web_result.problems_at =
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(problems_text.data()));
  web_result.problems_size = static_cast<uint32_t>(problems_text.size());
  return &web_result;
}
