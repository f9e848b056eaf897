// Code page 932, the Shift_JIS of Japanese Windows, as the project's own
// data (cp932_data.inc, written by scripts/gen-cp932.py): the same on every
// platform, never the system's conversion.
//
// A code is a one-byte code (0x01-0x7F, 0xA1-0xDF) or a two-byte code held
// as lead byte << 8 | trail byte (lead 0x81-0x9F or 0xE0-0xFC). Characters
// are Unicode code points; all of them lie below U+10000.
#ifndef ZIREL_TABLE_CP932_H_
#define ZIREL_TABLE_CP932_H_

#include <cstddef>
#include <cstdint>

// The character of `code`, or 0 when no character has that code (0x00,
// 0x80, 0xA0, 0xFD-0xFF, and two-byte codes no character has).
uint32_t cp932_to_unicode(uint16_t code);

// The code Windows writes for character `cp`, or 0 when it has none. Where
// several codes decode to the same character, the one Windows writes: a
// JIS X 0208 code before the NEC special row 0x87, that before the IBM
// extensions 0xFA-0xFC, the NEC-selected IBM extensions 0xED-0xEE never.
// U+0000 has no code here.
uint16_t cp932_from_unicode(uint32_t cp);

// True for a lead byte of a two-byte code.
inline bool cp932_is_lead(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The whole mapping, for tests: pairs (code, character) in code order, and
// (character, code) in character order.
struct Cp932Pair {
  uint16_t from;
  uint16_t to;
};
const Cp932Pair* cp932_decode_pairs(size_t* count);
const Cp932Pair* cp932_encode_pairs(size_t* count);

#endif  // ZIREL_TABLE_CP932_H_
