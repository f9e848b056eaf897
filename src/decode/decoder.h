// The message decoder: turns the message region of a ROM image into text.
//
// The region is one stream of items, each recognised by its first byte:
//   ESCAPE_BYTE (0x7F)  a control item: the escape, a code byte and the code's
//                       argument bytes (see control_codes.h)
//   BREAK_BYTE (0xCD)   a line break: one line end
//   any other byte      a glyph: the text of its `CharTable` cell
//
// Lines wrap automatically. Before each item, when the line holds exactly
// WRAP_AT items, the decoder looks at the byte after the item's first byte:
// if it is BREAK_BYTE the item stays on the line (the count becomes 17 and no
// further wrap happens on that line); otherwise a line end is written first
// and `auto_wrapped` is set. A BREAK_BYTE met while `auto_wrapped` is set is
// swallowed: the wrap has already ended the line. Items are counted, not
// characters: every glyph counts 1, even one with an empty text or a 0x0A.
//
// The decoder works on the region's bytes in memory and needs no allocation.
#ifndef ZIREL_DECODE_DECODER_H_
#define ZIREL_DECODE_DECODER_H_

#include <cstddef>
#include <cstdint>

#include "table/char_table.h"

class Output;

constexpr uint32_t REGION_FIRST = 0x9C11C0;
constexpr uint32_t REGION_LAST = 0xB0A67D;
// Bytes in the region, both bounds included: 1,348,798.
constexpr size_t REGION_SIZE = REGION_LAST - REGION_FIRST + 1;
// Bytes the decoder may read from REGION_FIRST on: the region and the byte
// after it (a lookahead or code byte of an item that starts at REGION_LAST).
// Argument bytes beyond the region are skipped, never read.
constexpr size_t REGION_READ_BYTES = REGION_SIZE + 1;

constexpr uint32_t WRAP_AT = 16;
constexpr uint8_t ESCAPE_BYTE = 0x7F;
constexpr uint8_t BREAK_BYTE = 0xCD;

// The decoder state that the control-code handler shares. The offset of the
// next item is the decoder's alone and lives in the walk itself.
struct DecoderState {
  uint32_t line_items = 0;    // items on the current output line
  bool auto_wrapped = false;  // an automatic wrap ended the line, and no
                              // glyph, break or placeholder came since
};

// The text that precedes the messages: a line end, then one line for each of
// the four substitute characters of the game's symbols.
extern const char SYMBOL_LEGEND[];
extern const size_t SYMBOL_LEGEND_SIZE;  // 53

// How a walk ended.
enum class DecodeEnd {
  COMPLETE,   // the item holding the region's last byte was decoded
  TRUNCATED,  // the image ended before the first byte of an item in the region
};

// Decodes a region of `region_size` bytes (REGION_SIZE in the tool; smaller
// in tests). `bytes` holds the `loaded` bytes that the image has from the
// region's start on, at most region_size + 1 of them are looked at.
//
// A byte the image lacks reads as end of file: as a lookahead it is not
// BREAK_BYTE, as a code byte it is a code without action; an item whose first
// byte is missing is not decoded, and the walk stops there (TRUNCATED), with
// nothing written for it. Nothing is written after the last item.
DecodeEnd decode_region(const uint8_t* bytes, size_t loaded, size_t region_size,
                        const CharTable& table, Output& out);

// The whole of the decoder's work: the symbol legend, then the message region
// of an image. `region` holds the `loaded` bytes the image has from
// REGION_FIRST on (loaded may exceed REGION_READ_BYTES; the rest is ignored).
DecodeEnd decode_messages(const uint8_t* region, size_t loaded,
                          const CharTable& table, Output& out);

#endif  // ZIREL_DECODE_DECODER_H_
