// zireltbl: the character table zirel.tbl made from a text table and
// written back as one. The work is the core's (table/table_text.h); this
// file reads the command line, and file_io.h the files.
#include <cstring>
#include <string>
#include <vector>

#include "table/table_text.h"
#include "zireltbl/file_io.h"

#ifndef ZIRELTBL_VERSION
#error "ZIRELTBL_VERSION must be defined (the project's version, set by CMake)"
#endif

namespace {

const char USAGE[] =
    "usage: zireltbl build [--encoding=utf-8|shift_jis] TEXT_TABLE OUT.tbl\n"
    "       zireltbl dump TABLE.tbl\n"
    "       zireltbl --help | --version\n";

const char HELP[] =
    "zireltbl: makes the character table zirel.tbl of n64zirelcnv from a text\n"
    "table, and writes a table as text.\n"
    "\n"
    "  zireltbl build TEXT_TABLE OUT.tbl   the 512-byte table from a text table\n"
    "  zireltbl dump TABLE.tbl             the text table of a table, on standard output\n"
    "\n"
    "A text table has a line XX=text for each code: XX the code in two hex\n"
    "digits, text one full-width character or one or two half-width ones.\n"
    "Codes not listed, and XX=, give empty cells. A cell that is no Shift_JIS\n"
    "text is written XX:HH or XX:HHHH, its bytes in hex.\n"
    "\n"
    "Options:\n"
    "  --encoding=auto       the text table is UTF-8, or Shift_JIS if it is not\n"
    "                        valid UTF-8 (the default)\n"
    "  --encoding=utf-8      the text table is UTF-8; invalid bytes are errors\n"
    "  --encoding=shift_jis  the text table is Shift_JIS (code page 932)\n"
    "  --help                this text\n"
    "  --version             the version\n"
    "\n"
    "Exit status: 0 done, 1 an input missing or refused, 2 a wrong command line.\n"
    "See zireltbl(1).\n";

int usage_error(const std::string& what) {
  write_stderr("zireltbl: " + what + "\n" + USAGE);
  return 2;
}

bool equal_folded(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != b[i]) return false;
  }
  return true;
}

bool encoding_named(const std::string& name, TextEncoding& encoding) {
  if (equal_folded(name, "auto")) {
    encoding = TextEncoding::AUTO;
  } else if (equal_folded(name, "utf-8") || equal_folded(name, "utf8")) {
    encoding = TextEncoding::UTF8;
  } else if (equal_folded(name, "shift_jis") || equal_folded(name, "shift-jis") ||
             equal_folded(name, "sjis") || equal_folded(name, "cp932")) {
    encoding = TextEncoding::SHIFT_JIS;
  } else {
    return false;
  }
  return true;
}

int build(const std::string& text_path, const std::string& out_path, TextEncoding encoding) {
  std::string text;
  std::string why;
  if (!read_whole_file(text_path.c_str(), text, why)) {
    write_stderr("zireltbl: cannot read " + text_path + ": " + why + "\n");
    return 1;
  }
  const TableTextResult result = parse_table_text(
      reinterpret_cast<const uint8_t*>(text.data()), text.size(), encoding);
  std::string messages;
  size_t errors = 0;
  for (const TableTextProblem& p : result.problems) {
    messages += text_path;
    if (p.line != 0) messages += ":" + std::to_string(p.line);
    messages += p.is_error ? ": error: " : ": warning: ";
    messages += p.message + "\n";
    if (p.is_error) ++errors;
  }
  if (errors != 0) {
    messages += "zireltbl: " + std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                " in " + text_path + "; " + out_path + " not written\n";
    write_stderr(messages);
    return 1;
  }
  write_stderr(messages);
  const std::string table(reinterpret_cast<const char*>(result.table), TABLE_FILE_BYTES);
  if (!replace_file(out_path.c_str(), table, why)) {
    write_stderr("zireltbl: cannot write " + out_path + ": " + why + "\n");
    return 1;
  }
  return 0;
}

int dump(const std::string& table_path) {
  std::string bytes;
  std::string why;
  if (!read_whole_file(table_path.c_str(), bytes, why)) {
    write_stderr("zireltbl: cannot read " + table_path + ": " + why + "\n");
    return 1;
  }
  if (bytes.size() < TABLE_FILE_BYTES) {
    write_stderr(table_path + ": warning: " + std::to_string(bytes.size()) +
                 " bytes, not 512: the cells it does not reach are read as n64zirelcnv "
                 "reads them (empty, or one byte)\n");
  } else if (bytes.size() > TABLE_FILE_BYTES) {
    write_stderr(table_path + ": warning: " + std::to_string(bytes.size()) +
                 " bytes, not 512: the bytes after the 512th are not part of the table\n");
  }
  const std::string text =
      dump_table_text(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (!write_stdout(text)) {
    write_stderr("zireltbl: cannot write standard output\n");
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  init_streams();
  std::vector<std::string> operands;
  TextEncoding encoding = TextEncoding::AUTO;
  bool encoding_given = false;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      operands.push_back(arg);
    } else if (arg == "--") {
      options_end = true;
    } else if (arg == "--help" || arg == "-h") {
      write_stdout(USAGE);
      return write_stdout(std::string("\n") + HELP) ? 0 : 1;
    } else if (arg == "--version") {
      return write_stdout("zireltbl " ZIRELTBL_VERSION "\n") ? 0 : 1;
    } else if (arg.compare(0, 11, "--encoding=") == 0 || arg == "--encoding") {
      std::string name;
      if (arg == "--encoding") {
        if (i + 1 == argc) return usage_error("--encoding needs a value: utf-8 or shift_jis");
        name = argv[++i];
      } else {
        name = arg.substr(11);
      }
      if (!encoding_named(name, encoding)) {
        return usage_error("unknown encoding '" + name + "': use utf-8, shift_jis or auto");
      }
      encoding_given = true;
    } else {
      return usage_error("unknown option '" + arg + "'");
    }
  }
  if (operands.empty()) return usage_error("no command given");
  const std::string& command = operands[0];
  if (command == "build") {
    if (operands.size() != 3) {
      return usage_error("build takes two files: the text table and the table to write");
    }
    return build(operands[1], operands[2], encoding);
  }
  if (command == "dump") {
    if (operands.size() != 2) return usage_error("dump takes one file: the table to read");
    if (encoding_given) return usage_error("--encoding is for build only");
    return dump(operands[1]);
  }
  return usage_error("unknown command '" + command + "': use build or dump");
}
