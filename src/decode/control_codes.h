// Control codes: what each of the 256 code values after ESCAPE_BYTE does.
//
// A control item is 0x7F, one code byte and n argument bytes (n fixed by the
// code, 0 to 8), which are skipped unread. A code either ends the line with
// one or two line ends, writes a Japanese placeholder word (one item on the
// line, whatever its length), writes the letter display text, only skips its
// arguments, or does nothing. After the escape, 0x7F and 0xCD are plain codes
// without action: they neither escape nor break the line. Codes end lines
// and count items, but never wrap: the wrap test is the decoder's.
#ifndef ZIREL_DECODE_CONTROL_CODES_H_
#define ZIREL_DECODE_CONTROL_CODES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "decode/decoder.h"

enum class LineEffect : uint8_t { KEEP, RESET, COUNT };  // line_items: as is, 0, +1
enum class WrapEffect : uint8_t { KEEP, CLEAR };          // auto_wrapped: as is, 0

// Longest text a code writes, as it leaves the tool (every "\n" as 0x0D 0x0A).
constexpr size_t MAX_CONTROL_OUTPUT = 18;

// The behaviour of one code value, with its text ready to copy.
struct alignas(32) ControlCode {
  uint8_t output[MAX_CONTROL_OUTPUT];  // the text, line ends translated
  uint8_t output_size;
  uint8_t skip;          // argument bytes skipped
  LineEffect line;       // what the code does to line_items
  WrapEffect wrap;       // what it does to auto_wrapped
};

// The behaviour of every code value, indexed by the code byte.
extern const std::array<ControlCode, 256> CONTROL_CODES;

// For a code that writes nothing and leaves the line count and the wrap
// state as they are, the size of its whole item (2 + skip); 0 for any other.
extern const std::array<uint8_t, 256> QUIET_ITEM_SIZE;

// Handles one control item whose code byte is `code`: stores the code's
// translated text at `out` and moves `out` past it (room for
// MAX_CONTROL_OUTPUT bytes is needed), and applies the code's effects to
// `state`. Returns n, the number of argument bytes after the code byte.
inline size_t handle_control_code(uint8_t code, DecoderState& state,
                                  uint8_t*& out) {
  const ControlCode& behaviour = CONTROL_CODES[code];
  std::memcpy(out, behaviour.output, MAX_CONTROL_OUTPUT);
  out += behaviour.output_size;
  if (behaviour.line == LineEffect::RESET) state.line_items = 0;
  if (behaviour.line == LineEffect::COUNT) state.line_items += 1;
  if (behaviour.wrap == WrapEffect::CLEAR) state.auto_wrapped = false;
  return behaviour.skip;
}

#endif  // ZIREL_DECODE_CONTROL_CODES_H_
