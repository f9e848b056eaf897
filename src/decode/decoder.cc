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

// Stores a line end at `at`; returns the byte after it.
uint8_t* put_line_end(uint8_t* at) {
  std::memcpy(at, LINE_END, sizeof LINE_END);
  return at + sizeof LINE_END;
}

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

  // Items from `last_loaded` on have no byte after them in the image.
  const size_t last_loaded = loaded - 1;
  // The byte after `at`, or END_OF_FILE where the image has none.
  const auto byte_after = [bytes, last_loaded](size_t at) {
    return at < last_loaded ? static_cast<int>(bytes[at + 1]) : END_OF_FILE;
  };

  // Items start only where the image has their first byte.
  const size_t item_end = loaded < region_size ? loaded : region_size;

  // The line's state is kept in offsets, so that glyphs need no counting.
  // `test_at` is the offset at which the next wrap test falls due if only
  // glyphs come: the room left, test_at - pos, is WRAP_AT - line_items as
  // the count's type computes it (huge for a line of 17 or more items,
  // until the count wraps around). A control item that adds no item moves
  // it on by its size. `wrapped` is set by an automatic wrap; while the
  // room is still WRAP_AT no glyph has come since, so auto_wrapped is
  // `wrapped` with the room at WRAP_AT. A break, a control item with an
  // effect and a wrap test set `wrapped` afresh.
  size_t pos = 0;  // offset of the next item from the region's start
  uint64_t test_at = WRAP_AT;
  bool wrapped = false;
  const auto room_for = [](uint32_t line_items) -> uint64_t {
    return static_cast<uint32_t>(WRAP_AT - line_items);
  };
  while (pos < item_end) {
    const size_t stretch_end = item_end - pos < STRETCH ? item_end : pos + STRETCH;
    uint8_t* dest = out.claim(STRETCH_OUTPUT);
    while (pos < stretch_end) {
      // Wrap test, at the top of an item.
      if (pos == test_at) {
        if (byte_after(pos) == BREAK_BYTE) {
          test_at = pos + room_for(WRAP_AT + 1);  // a break follows: the item stays
          wrapped = false;
        } else {
          dest = put_line_end(dest);
          test_at = pos + WRAP_AT;
          wrapped = true;
        }
      }
      // The items before the next wrap test, as far as the stretch goes:
      // runs of glyphs, and the control items and breaks that end them.
      size_t run_end = static_cast<size_t>(std::min<uint64_t>(test_at, stretch_end));
      for (;;) {
        while (pos < run_end) {
          const FirstByte& f = first_bytes[bytes[pos]];
          if (!f.is_glyph) break;
          std::memcpy(dest, f.text, sizeof f.text);
          dest += f.text_size;
          ++pos;
        }
        if (pos >= run_end) break;  // the wrap test or the stretch's end
        if (bytes[pos] == ESCAPE_BYTE) {
          const int code = byte_after(pos);
          const size_t quiet_size =
              code == END_OF_FILE ? 2 : QUIET_ITEM_SIZE[static_cast<uint8_t>(code)];
          if (quiet_size != 0) {
            // A control item without any effect: its bytes are passed over.
            pos += quiet_size;
            test_at += quiet_size;
          } else {
            DecoderState state;
            state.line_items = WRAP_AT - static_cast<uint32_t>(test_at - pos);
            state.auto_wrapped = wrapped && state.line_items == 0;
            const size_t skipped =
                handle_control_code(static_cast<uint8_t>(code), state, dest);
            pos += 2 + skipped;
            test_at = pos + room_for(state.line_items);
            wrapped = state.auto_wrapped;
          }
        } else {
          // A break. Right after an automatic wrap the line has ended already.
          if (!wrapped || test_at - pos != WRAP_AT) dest = put_line_end(dest);
          pos += 1;
          test_at = pos + WRAP_AT;
          wrapped = false;
        }
        // The item may have moved the wrap test.
        run_end = static_cast<size_t>(std::min<uint64_t>(test_at, stretch_end));
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
