// Control codes: what each of the 256 code values after ESCAPE_BYTE does.
//
// A control item is 0x7F, one code byte and n argument bytes (n fixed by the
// code, 0 to 8), which are skipped unread. A code either ends the line with
// one or two line ends, writes a Japanese placeholder word (one item on the
// line, whatever its length), writes the letter display text, only skips its
// arguments, or does nothing. After the escape, 0x7F and 0xCD are plain codes
// without action: they neither escape nor break the line.
#ifndef ZIREL_DECODE_CONTROL_CODES_H_
#define ZIREL_DECODE_CONTROL_CODES_H_

#include <array>
#include <cstddef>
#include <cstdint>

#include "decode/decoder.h"

class Output;

enum class LineEffect : uint8_t { KEEP, RESET, COUNT };  // line_items: as is, 0, +1
enum class WrapEffect : uint8_t { KEEP, CLEAR };          // auto_wrapped: as is, 0

// The behaviour of one code value.
struct ControlCode {
  uint8_t skip;       // argument bytes skipped
  const char* text;   // written byte for byte ("\n" is a line end), or nullptr
  uint8_t text_size;  // bytes in `text`
  LineEffect line;
  WrapEffect wrap;
};

// The behaviour of every code value, indexed by the code byte.
extern const std::array<ControlCode, 256> CONTROL_CODES;

// Longest text a code writes, before line-end translation.
constexpr size_t MAX_CONTROL_TEXT = 17;

// Handles one control item whose code byte is `code`: writes the code's text
// and applies its effects to `state`. Returns n, the
// number of argument bytes the item has after its code byte.
size_t handle_control_code(uint8_t code, DecoderState& state, Output& out);

#endif  // ZIREL_DECODE_CONTROL_CODES_H_
