// The checks on a ROM image's header: an N64 cartridge image of Zirel, of the
// first release (version byte 0), in big-endian byte order.
//
// Three places are checked, in this order, and the first mismatch refuses the
// image with its Japanese message (Shift_JIS, no line end after it):
//   0x08        must be 0x80 (the boot address's high byte; in a byte-swapped
//               or little-endian image a lower byte stands here)
//   0x20..0x23  must be "ZIRE", compared byte by byte
//   0x3F        must be 0x00; otherwise "V1.%c..." with v + 0x30 (mod 256)
// A byte beyond the end of the image counts as end of file (-1): it matches
// none of the required values, and as a version byte it gives 0x2F.
#ifndef ZIREL_ROM_ROM_CHECK_H_
#define ZIREL_ROM_ROM_CHECK_H_

#include <cstddef>
#include <cstdint>

class Output;

// Bytes at the start of the image that the checks may look at.
constexpr size_t HEADER_BYTES = 0x40;

// Checks the header. `header` holds the image's first `n` bytes (n may be
// below HEADER_BYTES when the image is shorter; bytes past 0x3F are ignored).
// Returns true when the image passes, having written nothing; otherwise writes
// the first failing check's message to `out` and returns false.
bool check_rom_image(const uint8_t* header, size_t n, Output& out);

#endif  // ZIREL_ROM_ROM_CHECK_H_
