#include "decode/decoder.h"

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

// A cell's text after line-end translation: two bytes become at most four.
struct OutputCell {
  uint8_t bytes[4];
  uint8_t size;
};

// Output of the largest glyph item: the wrap's line end, then a cell.
const size_t MAX_GLYPH_OUTPUT = sizeof LINE_END + sizeof OutputCell::bytes;

}  // namespace

DecodeEnd decode_region(const uint8_t* bytes, size_t loaded, size_t region_size,
                        const CharTable& table, Output& out) {
  // Cell texts are translated once here, so a glyph is a fixed-size copy.
  OutputCell cells[256];
  for (size_t k = 0; k < 256; ++k) {
    const TableCell& cell = table.cells[k];
    cells[k].size = static_cast<uint8_t>(translate_line_ends(
        reinterpret_cast<const char*>(cell.text), cell.length(),
        cells[k].bytes));
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
    out.reserve(MAX_GLYPH_OUTPUT);
    if (state.line_items == WRAP_AT) {
      if (byte_after(pos) == BREAK_BYTE) {
        state.line_items = WRAP_AT + 1;  // a break follows: the item stays
      } else {
        out.put_translated(LINE_END, sizeof LINE_END);
        state.line_items = 0;
        state.auto_wrapped = true;
      }
    }
    const uint8_t first = bytes[pos];
    if (first == ESCAPE_BYTE) {
      const int code = byte_after(pos);
      const size_t skipped =
          code == END_OF_FILE
              ? 0
              : handle_control_code(static_cast<uint8_t>(code), state, out);
      pos += 2 + skipped;
    } else if (first == BREAK_BYTE) {
      // Right after an automatic wrap the line has ended already.
      if (!state.auto_wrapped) out.put_translated(LINE_END, sizeof LINE_END);
      state.auto_wrapped = false;
      state.line_items = 0;
      pos += 1;
    } else {
      out.put_translated(cells[first].bytes, cells[first].size);
      state.line_items += 1;
      state.auto_wrapped = false;
      pos += 1;
    }
  }
  return pos < region_size ? DecodeEnd::TRUNCATED : DecodeEnd::COMPLETE;
}

DecodeEnd decode_messages(const uint8_t* region, size_t loaded,
                          const CharTable& table, Output& out) {
  out.write(SYMBOL_LEGEND, SYMBOL_LEGEND_SIZE);
  return decode_region(region, loaded, REGION_SIZE, table, out);
}
