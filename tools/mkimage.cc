// zirel_mkimage: writes the test data files of the tool.
//
//   zirel_mkimage demo-table OUT          the demo character table
//   zirel_mkimage demo-image OUT          the demo ROM image
//   zirel_mkimage text-image OUT [SEED]   a full-size image of text-like
//                                         messages (SEED: 0 to 4294967295,
//                                         decimal or 0x hex; default 1)
//   zirel_mkimage bench-table OUT         a table for benchmarks
//
// Exit status 0 when the file was written, 1 on bad usage or a write error.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image_maker.h"

namespace {

const char USAGE[] =
    "usage: zirel_mkimage demo-table OUT\n"
    "       zirel_mkimage demo-image OUT\n"
    "       zirel_mkimage text-image OUT [SEED]\n"
    "       zirel_mkimage bench-table OUT\n";

int usage_error(const char* problem) {
  std::fprintf(stderr, "zirel_mkimage: %s\n%s", problem, USAGE);
  return 1;
}

// Reads a seed: all of `text` must be a number from 0 to 2^32 - 1.
bool parse_seed(const char* text, uint32_t& seed) {
  if (*text == '\0' || *text == '-' || *text == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 0);
  if (errno != 0 || *end != '\0' || value > UINT32_MAX) return false;
  seed = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage_error("missing arguments");
  const std::string command = argv[1];
  const char* out = argv[2];
  const bool takes_seed = command == "text-image";
  if (argc > (takes_seed ? 4 : 3)) return usage_error("too many arguments");

  std::vector<uint8_t> bytes;
  if (command == "demo-table") {
    bytes = testdata::demo_table();
  } else if (command == "demo-image") {
    bytes = testdata::demo_image();
  } else if (command == "text-image") {
    uint32_t seed = 1;
    if (argc == 4 && !parse_seed(argv[3], seed)) {
      return usage_error("SEED must be a number from 0 to 4294967295");
    }
    bytes = testdata::text_image(seed);
  } else if (command == "bench-table") {
    bytes = testdata::bench_table();
  } else {
    return usage_error("unknown command");
  }

  if (!testdata::write_file(out, bytes)) {
    std::fprintf(stderr, "zirel_mkimage: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
