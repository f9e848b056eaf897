#include "decode/decoder.h"

#include <algorithm>
#include <cstring>

#include "decode/control_codes.h"
#include "main/output.h"

// "\n▼:ハート\n水:しずくもよう\n筋:青筋マーク\n顔:顔マーク\n"
const char SYMBOL_LEGEND[] =
    "\n"
    "\x81\xA5" ":" "\x83\x6E\x81\x5B\x83\x67" "\n"                  // heart
    "\x90\x85" ":" "\x82\xB5\x82\xB8\x82\xAD\x82\xE0\x82\xE6\x82\xA4" "\n"  // drop pattern
    "\x8B\xD8" ":" "\x90\xC2\x8B\xD8\x83\x7D\x81\x5B\x83\x4E" "\n"  // vein mark
    "\x8A\xE7" ":" "\x8A\xE7\x83\x7D\x81\x5B\x83\x4E" "\n";         // face mark
const size_t SYMBOL_LEGEND_SIZE = sizeof SYMBOL_LEGEND - 1;

namespace {

const int END_OF_FILE = -1;

// A line end as it leaves the tool.
const uint8_t LINE_END[2] = {0x0D, 0x0A};

// What a first byte means, with a glyph's text after line-end translation
// (two bytes become at most four), so that a glyph is one fixed-size copy.
struct alignas(8) FirstByte {
  uint8_t text[4];
  uint8_t text_size;
  bool is_glyph;
};

// The region is decoded in stretches of this many bytes, each with its
// output room claimed once. An item writes at most 10 bytes per byte it
// takes (a control item of 2 bytes: the wrap's line end and 18 bytes of
// text), and the last item of a stretch may run past its end.
const size_t STRETCH = 8192;
const size_t MAX_ITEM_OUTPUT = sizeof LINE_END + MAX_CONTROL_OUTPUT;
const size_t STRETCH_OUTPUT = 10 * STRETCH + MAX_ITEM_OUTPUT;
static_assert(STRETCH_OUTPUT <= Output::MAX_CLAIM, "a stretch must fit");
static_assert(MAX_CONTROL_OUTPUT <= Output::SLACK, "copies must fit");

}  // namespace

DecodeEnd decode_region(const uint8_t* bytes, size_t loaded, size_t region_size,
                        const CharTable& table, Output& out) {
  FirstByte first_bytes[256];
  for (size_t k = 0; k < 256; ++k) {
    const TableCell& cell = table.cells[k];
    FirstByte& f = first_bytes[k];
    f.text_size = static_cast<uint8_t>(translate_line_ends(
        reinterpret_cast<const char*>(cell.text), cell.length(), f.text));
    f.is_glyph = k != ESCAPE_BYTE && k != BREAK_BYTE;
  }

  // The byte after `at`, or END_OF_FILE where the image has none.
  const auto byte_after = [bytes, loaded](size_t at) {
    return at + 1 < loaded ? static_cast<int>(bytes[at + 1]) : END_OF_FILE;
  };

  // Items start only where the image has their first byte.
  const size_t item_end = loaded < region_size ? loaded : region_size;
  DecoderState state;
  size_t pos = 0;  // offset of the next item from the region's start
  while (pos < item_end) {
    const size_t stretch_end = item_end - pos < STRETCH ? item_end : pos + STRETCH;
    uint8_t* dest = out.claim(STRETCH_OUTPUT);
    while (pos < stretch_end) {
      // Wrap test, at the top of an item.
      if (state.line_items == WRAP_AT) {
        if (byte_after(pos) == BREAK_BYTE) {
          state.line_items = WRAP_AT + 1;  // a break follows: the item stays
        } else {
          std::memcpy(dest, LINE_END, sizeof LINE_END);
          dest += sizeof LINE_END;
          state.line_items = 0;
          state.auto_wrapped = true;
        }
      }
      // A run of glyphs, as far as the line has room before the next wrap
      // test (a line of 17 or more items has no wrap test left).
      const size_t room =
          state.line_items < WRAP_AT ? WRAP_AT - state.line_items : STRETCH;
      const size_t run_end = std::min(pos + room, stretch_end);
      const size_t run_start = pos;
#pragma GCC unroll 2
      while (pos < run_end) {
        const FirstByte& f = first_bytes[bytes[pos]];
        if (!f.is_glyph) break;
        std::memcpy(dest, f.text, sizeof f.text);
        dest += f.text_size;
        ++pos;
      }
      if (pos != run_start) {
        state.line_items += static_cast<uint32_t>(pos - run_start);
        state.auto_wrapped = false;
      }
      // A run that used up its room ends where the next wrap test is due.
      // One that stopped short met a control item or a break, which needs
      // no wrap test: the line has fewer than WRAP_AT items, or more.
      if (pos == run_end) continue;
      if (bytes[pos] == ESCAPE_BYTE) {
        const int code = byte_after(pos);
        const size_t skipped =
            code == END_OF_FILE
                ? 0
                : handle_control_code(static_cast<uint8_t>(code), state, dest);
        pos += 2 + skipped;
      } else {
        // Right after an automatic wrap the line has ended already.
        if (!state.auto_wrapped) {
          std::memcpy(dest, LINE_END, sizeof LINE_END);
          dest += sizeof LINE_END;
        }
        state.auto_wrapped = false;
        state.line_items = 0;
        pos += 1;
      }
    }
    out.commit(dest);
  }
  return pos < region_size ? DecodeEnd::TRUNCATED : DecodeEnd::COMPLETE;
}

DecodeEnd decode_messages(const uint8_t* region, size_t loaded,
                          const CharTable& table, Output& out) {
  out.write(SYMBOL_LEGEND, SYMBOL_LEGEND_SIZE);
  return decode_region(region, loaded, REGION_SIZE, table, out);
}
