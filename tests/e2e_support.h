// The harness of the end-to-end tests: the built tool run as a process in a
// temporary directory. The command that starts the tool comes from the
// environment variable ZIREL_TOOL (a path, or a path behind a launcher).
#ifndef ZIREL_TESTS_E2E_SUPPORT_H_
#define ZIREL_TESTS_E2E_SUPPORT_H_

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "expected_texts.h"
#include "main/run.h"
#include "test_support.h"


inline std::string tool_command() {
  const char* tool = std::getenv("ZIREL_TOOL");
  return tool != nullptr ? tool : "";
}

inline std::string shell_quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A temporary directory, removed with everything in it at the end.
class Sandbox {
 public:
  Sandbox() {
    char name[] = "/tmp/zirel-e2e-XXXXXX";
    dir_ = mkdtemp(name);
  }
  ~Sandbox() { std::system(("rm -rf " + shell_quoted(dir_)).c_str()); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the shell command `tool` in `cwd` with `args`; standard output goes
// to a file unless `stdout_redirect` says otherwise (for example
// "> /dev/full").
//
// A run that wrote nothing at all, on neither stream, and was not stopped by
// a time limit (status 124), cannot be the tool's: it always writes its
// banner, or failing that a line on standard error. It is a launcher that
// did not start the tool, as wine does now and then, and is tried again,
// `retries` times at most.
inline Result run_command(const std::string& tool, const std::string& cwd,
                          const std::vector<std::string>& args,
                          const std::string& stdout_redirect = "", int retries = 0) {
  Result r;
  for (int attempt = 0; attempt <= retries; ++attempt) {
    Sandbox capture;
    std::string command = "cd " + shell_quoted(cwd) + " && " + tool;
    for (const std::string& arg : args) command += " " + shell_quoted(arg);
    command += stdout_redirect.empty() ? " > " + shell_quoted(capture.path("out"))
                                       : " " + stdout_redirect;
    command += " 2> " + shell_quoted(capture.path("err")) + " < /dev/null";
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_file(capture.path("out"));
    r.err = read_file(capture.path("err"));
    if (!r.out.empty() || !r.err.empty() || r.status == 124) break;
    if (attempt < retries) {
      std::fprintf(stderr, "note: no output at all (status %d), run again: %.300s\n",
                   r.status, command.c_str());
    }
  }
  return r;
}

// Runs the tool (ZIREL_TOOL, behind `launcher`) as run_command does, with
// ZIREL_TOOL_RETRIES retries (none unless set; the runs under wine set it).
inline Result run_tool(const std::string& cwd, const std::vector<std::string>& args,
                const std::string& stdout_redirect = "",
                const std::string& launcher = "") {
  const char* retries = std::getenv("ZIREL_TOOL_RETRIES");
  return run_command(launcher + tool_command(), cwd, args, stdout_redirect,
                     retries != nullptr ? std::atoi(retries) : 0);
}

// An image whose region holds `text` and then only code 0x04 (no action),
// ending with `last` at REGION_LAST and `after` beyond it.
inline std::string image_with_text(const std::string& text, const std::string& last = "",
                            const std::string& after = "x") {
  std::string image = good_image(REGION_LAST + 1 + after.size());
  image.replace(REGION_FIRST, text.size(), text);
  size_t at = REGION_FIRST + text.size();
  const size_t last_at = REGION_LAST + 1 - last.size();
  for (; at + 2 <= last_at; at += 2) image.replace(at, 2, "\x7F\x04");
  if (at < last_at) image[at] = '\xFF';  // one glyph, empty in the tables here
  image.replace(last_at, last.size(), last);
  image.replace(REGION_LAST + 1, after.size(), after);
  return image;
}

// The banner: the first three lines of any output.
inline std::string banner() {
  static std::string text;
  if (text.empty()) {
    Sandbox box;
    text = run_tool(box.dir(), {}).out;
    text.resize(text.size() - USAGE_TEXT.size());
  }
  return text;
}

// A test with its own directory to run the tool in.
class E2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tool_command().empty()) << "ZIREL_TOOL names no tool";
  }
  // A directory with the ASCII table and the given image as "rom.z64".
  void prepare(const std::string& image) {
    write_file(box_.path(TABLE_FILE_NAME), ascii_table_file());
    write_file(box_.path("rom.z64"), image);
  }
  Result run_on(const std::vector<std::string>& args, const std::string& redirect = "",
                const std::string& launcher = "") {
    return run_tool(box_.dir(), args, redirect, launcher);
  }
  Sandbox box_;
};

#endif  // ZIREL_TESTS_E2E_SUPPORT_H_
