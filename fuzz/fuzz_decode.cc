// Fuzz target: the decoder on a small region, with a table made of the
// input's bytes.
//
// An input is read as:
//   byte 0, 1  region size R = (byte0 | byte1 << 8) % 1025
//   byte 2     flags; bit 0: when the input holds more than R + 1 region
//              bytes, the image is said to hold SIZE_MAX bytes
//   byte 3     table file length: 3 times this, cut where the input ends
//   then       the table file's bytes, then the region's bytes (the image
//              from the region's start on; as many as the input has left)
// A missing byte of the first four reads as 0.
//
// The region's bytes are copied to a block of exactly the bytes the decoder
// may look at (at most R + 1), so that any read past them is caught; the
// table file's bytes likewise.
//
// Checked on every input: the walk ends, within the output its bytes can
// produce; no 0x0A goes out alone; the end it reports agrees with where the
// image ends; a region longer than the image gives the same text and ends
// TRUNCATED; a second run gives the same result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "decode/decoder.h"
#include "fuzz_checks.h"
#include "main/output.h"
#include "table/char_table.h"

namespace {

struct Decoded {
  std::string bytes;
  DecodeEnd end;
};

Decoded decode(const uint8_t* bytes, size_t loaded, size_t region_size,
               const CharTable& table, size_t limit) {
  BoundedSink sink(limit);
  Output out(sink);
  Decoded d;
  d.end = decode_region(bytes, loaded, region_size, table, out);
  FUZZ_CHECK(out.finish());
  d.bytes = sink.bytes;
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto byte = [data, size](size_t i) -> size_t {
    return i < size ? data[i] : 0;
  };
  const size_t region_size = (byte(0) | byte(1) << 8) % 1025;
  const bool claim_all = (byte(2) & 1) != 0;
  size_t at = size < 4 ? size : 4;
  const size_t table_size = std::min(3 * byte(3), size - at);
  // The table file too gets a block of its own, exactly its size.
  const std::unique_ptr<uint8_t[]> table_file(new uint8_t[table_size]);
  std::copy(data + at, data + at + table_size, table_file.get());
  CharTable table;
  load_char_table(table_file.get(), table_size, table);
  at += table_size;

  const size_t given = size - at;
  const size_t looked_at = std::min(given, region_size + 1);
  const std::unique_ptr<uint8_t[]> region(new uint8_t[looked_at]);
  std::copy(data + at, data + at + looked_at, region.get());
  const size_t loaded =
      claim_all && given > region_size + 1 ? SIZE_MAX : given;

  const size_t limit = max_decoded_size(region.get(), loaded, region_size);
  const Decoded first =
      decode(region.get(), loaded, region_size, table, limit);
  FUZZ_CHECK(every_line_feed_has_its_return(first.bytes));

  if (loaded >= region_size) {
    FUZZ_CHECK(first.end == DecodeEnd::COMPLETE);
  } else if (first.end == DecodeEnd::COMPLETE) {
    // The image ends inside the region, yet the walk got through: only a
    // control item that starts in the image (at most 10 bytes long) can
    // reach past the region's last byte.
    bool reaches = false;
    for (size_t i = region_size >= 10 ? region_size - 10 : 0; i < loaded; ++i) {
      reaches = reaches || region[i] == ESCAPE_BYTE;
    }
    FUZZ_CHECK(reaches);
  }

  if (loaded < region_size) {
    const Decoded longer =
        decode(region.get(), loaded, region_size + 10, table, limit);
    FUZZ_CHECK(longer.end == DecodeEnd::TRUNCATED);
    FUZZ_CHECK(longer.bytes == first.bytes);
  }

  const Decoded again = decode(region.get(), loaded, region_size, table, limit);
  FUZZ_CHECK(again.end == first.end);
  FUZZ_CHECK(again.bytes == first.bytes);
  return 0;
}
