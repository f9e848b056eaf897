// Test data for the tool: ROM images, message regions and character tables,
// made from scratch and the same on every platform.
//
// Everything here is test tooling; it allocates freely. The region bounds and
// the special bytes come from the tool's headers, but the control codes'
// argument counts are kept here on their own, so that data built with them
// checks the tool's table instead of repeating it.
#ifndef ZIREL_TOOLS_IMAGE_MAKER_H_
#define ZIREL_TOOLS_IMAGE_MAKER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "decode/decoder.h"

namespace testdata {

// Size of a full cartridge image: 12 MiB.
constexpr size_t FULL_IMAGE_SIZE = 0xC00000;

// Argument bytes that follow the code byte of a control item with `code`.
size_t control_arg_count(uint8_t code);

// An image of `size` zero bytes whose header passes the checks: 0x80 at 0x08,
// "ZIRE" at 0x20..0x23, 0x00 at 0x3F. A short size cuts the header off.
std::vector<uint8_t> make_image(size_t size);

// Writes `bytes` into `image` from REGION_FIRST + `offset_in_region` on,
// growing the image with zeros when it is too short.
void place_region(std::vector<uint8_t>& image,
                  const std::vector<uint8_t>& bytes,
                  size_t offset_in_region = 0);

// `size` bytes of pseudo-random message text for `seed`: lines of 15 to 33
// glyphs, each ended by BREAK_BYTE, with control items mixed in (about 12 % of
// all items; any code value, then exactly its argument bytes, any values).
// Glyphs are any byte but ESCAPE_BYTE and BREAK_BYTE. The last item may be
// cut off. The text for a seed is one endless stream, so a shorter region is
// a prefix of a longer one; the bytes do not depend on platform or compiler.
std::vector<uint8_t> text_like_region(size_t size, uint32_t seed);

// A full-size image holding text_like_region over the whole message region,
// continued past REGION_LAST by the same stream (so an item cut by the
// region's end has its real code and argument bytes in the image).
std::vector<uint8_t> text_image(uint32_t seed);

// The demo character table (512 bytes); the mapping is listed in
// image_maker.cc.
std::vector<uint8_t> demo_table();

// Encodes UTF-8 text with the demo table: each character becomes its code,
// '\n' becomes BREAK_BYTE. Throws std::invalid_argument for a character the
// table lacks.
std::vector<uint8_t> encode_demo(const std::string& utf8);

// The Shift_JIS text the demo table gives for UTF-8 text (what the tool writes
// for the codes of encode_demo(utf8), except that '\n' stays one byte 0x0A).
// Throws std::invalid_argument for a character the table lacks.
std::string demo_sjis(const std::string& utf8);

// The demo messages, encoded with the demo table (see image_maker.cc for the
// bytes and the text they give).
std::vector<uint8_t> demo_region();

// A full-size image: the demo messages at REGION_FIRST, the rest of the region
// filled with control items 0x7F 0x04 (no text, no count), so that a run
// prints the demo text and nothing more, and completes.
std::vector<uint8_t> demo_image();

// A 512-byte table for benchmarks, mixing two-byte, one-byte, empty and
// 0x0A-holding cells.
std::vector<uint8_t> bench_table();

// Writes `bytes` to `path`, replacing the file; false on any error.
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace testdata

#endif  // ZIREL_TOOLS_IMAGE_MAKER_H_
