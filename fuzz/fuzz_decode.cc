// Fuzz target: the decoder on a region of any size, with a table made of
// the input's bytes, compared with the walk as decoder.h tells it.
//
// An input is read as:
//   byte 0, 1  s = byte0 | byte1 << 8
//   byte 2     flags:
//                bit 0     when the image holds more than R + 1 region
//                          bytes, it is said to hold SIZE_MAX bytes
//                bit 1     a long region: R = (s % 8192) * 8, up to
//                          65,528 bytes, that the region's bytes are
//                          repeated over; the image ends c = bits 2-3 bytes
//                          before the byte after the region (c = 0: the
//                          image has that byte)
//              otherwise R = s % 1025, and the image from the region's start
//              is the region's bytes
//   byte 3     table file length: 3 times this, cut where the input ends
//   then       the table file's bytes, then the region's bytes
// A missing byte of the first four reads as 0.
//
// The bytes the decoder may look at (at most R + 1) are copied to a block of
// exactly their size, so that any read past them is caught; the table
// file's bytes likewise.
//
// Checked on every input: the walk ends, within the output its bytes can
// produce; no 0x0A goes out alone; the text and the end are those of the
// walk item by item; the end agrees with where the image ends; a region
// longer than the image gives the same text and ends TRUNCATED; a second run
// gives the same result. Long regions take the decoder over its internal
// stretches and the output over its buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "decode/control_codes.h"
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

// The walk item by item, as decoder.h and control_codes.h tell it, with the
// text as it leaves the tool.
Decoded walk(const uint8_t* bytes, size_t loaded, size_t region_size,
             const CharTable& table) {
  const auto byte_after = [bytes, loaded](size_t at) {
    return at + 1 < loaded ? static_cast<int>(bytes[at + 1]) : -1;
  };
  Decoded d;
  uint32_t line_items = 0;
  bool auto_wrapped = false;
  size_t pos = 0;
  while (pos < std::min(loaded, region_size)) {
    if (line_items == WRAP_AT) {
      if (byte_after(pos) == BREAK_BYTE) {
        line_items = WRAP_AT + 1;
      } else {
        d.bytes += "\r\n";
        line_items = 0;
        auto_wrapped = true;
      }
    }
    const uint8_t first = bytes[pos];
    if (first == ESCAPE_BYTE) {
      const int code = byte_after(pos);
      size_t skip = 0;
      if (code >= 0) {
        const ControlCode& c = CONTROL_CODES[static_cast<size_t>(code)];
        d.bytes.append(reinterpret_cast<const char*>(c.output), c.output_size);
        if (c.line == LineEffect::RESET) line_items = 0;
        if (c.line == LineEffect::COUNT) line_items += 1;
        if (c.wrap == WrapEffect::CLEAR) auto_wrapped = false;
        skip = c.skip;
      }
      pos += 2 + skip;
    } else if (first == BREAK_BYTE) {
      if (!auto_wrapped) d.bytes += "\r\n";
      auto_wrapped = false;
      line_items = 0;
      pos += 1;
    } else {
      const TableCell& cell = table.cells[first];
      for (size_t i = 0; i < cell.length(); ++i) {
        if (cell.text[i] == 0x0A) d.bytes += '\r';
        d.bytes += static_cast<char>(cell.text[i]);
      }
      line_items += 1;
      auto_wrapped = false;
      pos += 1;
    }
  }
  d.end = pos < region_size ? DecodeEnd::TRUNCATED : DecodeEnd::COMPLETE;
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto byte = [data, size](size_t i) -> size_t {
    return i < size ? data[i] : 0;
  };
  const size_t s = byte(0) | byte(1) << 8;
  const bool claim_all = (byte(2) & 1) != 0;
  const bool long_region = (byte(2) & 2) != 0;
  const size_t region_size = long_region ? s % 8192 * 8 : s % 1025;
  size_t at = size < 4 ? size : 4;
  const size_t table_size = std::min(3 * byte(3), size - at);
  // The table file too gets a block of its own, exactly its size.
  const std::unique_ptr<uint8_t[]> table_file(new uint8_t[table_size]);
  std::copy(data + at, data + at + table_size, table_file.get());
  CharTable table;
  load_char_table(table_file.get(), table_size, table);
  at += table_size;

  // The image from the region's start: `loaded` bytes, of which the first
  // `looked_at` are held.
  const uint8_t* given = data + at;
  const size_t given_size = size - at;
  size_t looked_at = 0;
  size_t loaded = 0;
  if (!long_region) {
    looked_at = std::min(given_size, region_size + 1);
    loaded = claim_all && given_size > region_size + 1 ? SIZE_MAX : given_size;
  } else if (given_size > 0) {
    const size_t cut = (byte(2) >> 2) % 4;
    looked_at = region_size + 1 > cut ? region_size + 1 - cut : 0;
    loaded = claim_all && cut == 0 ? SIZE_MAX : looked_at;
  }
  const std::unique_ptr<uint8_t[]> region(new uint8_t[looked_at]);
  for (size_t i = 0; i < looked_at; ++i) region[i] = given[i % given_size];

  const size_t limit = max_decoded_size(region.get(), loaded, region_size);
  const Decoded first =
      decode(region.get(), loaded, region_size, table, limit);
  FUZZ_CHECK(every_line_feed_has_its_return(first.bytes));
  const Decoded expected = walk(region.get(), loaded, region_size, table);
  FUZZ_CHECK(first.end == expected.end);
  FUZZ_CHECK(first.bytes == expected.bytes);

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
