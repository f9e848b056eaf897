// What the fuzz targets check on every input, and the pieces they share:
// a failed check prints what broke and aborts, which libFuzzer reports as a
// crash and keeps the input.
#ifndef ZIREL_FUZZ_FUZZ_CHECKS_H_
#define ZIREL_FUZZ_FUZZ_CHECKS_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "main/output.h"

#define FUZZ_CHECK(condition)                                             \
  do {                                                                    \
    if (!(condition)) {                                                   \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                           \
      std::abort();                                                       \
    }                                                                     \
  } while (0)

// Every 0x0A leaves the tool as 0x0D 0x0A: true when no 0x0A stands alone.
inline bool every_line_feed_has_its_return(const std::string& out) {
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '\n' && (i == 0 || out[i - 1] != '\r')) return false;
  }
  return true;
}

// The most output that decoding `loaded` bytes of a region of `region_size`
// bytes can give. Items start only at the region's loaded bytes, so there
// are at most min(loaded, region_size) of them. A glyph or a break gives at
// most 6 bytes (a wrap's line end, then a cell of two bytes that may both be
// 0x0A); a control item, which starts with ESCAPE_BYTE, at most 20 (a wrap's
// line end, then a code text of at most 18 bytes once translated).
inline size_t max_decoded_size(const uint8_t* bytes, size_t loaded,
                               size_t region_size) {
  const size_t items = loaded < region_size ? loaded : region_size;
  size_t escapes = 0;
  for (size_t i = 0; i < items; ++i) escapes += bytes[i] == 0x7F;
  return 6 * items + 14 * escapes;
}

// Keeps what it is given, and aborts as soon as it is given more than
// `limit` bytes in all: a walk that does not end, or writes more than its
// input can produce, is stopped at its first delivery past the limit.
struct BoundedSink : OutputSink {
  explicit BoundedSink(size_t limit) : limit(limit) {}
  bool write(const uint8_t* data, size_t n) override {
    bytes.append(reinterpret_cast<const char*>(data), n);
    FUZZ_CHECK(bytes.size() <= limit);
    return true;
  }
  size_t limit;
  std::string bytes;
};

#endif  // ZIREL_FUZZ_FUZZ_CHECKS_H_
