#include "rom/rom_check.h"

#include "main/output.h"

namespace {

// "このROMフォーマットには対応していません。" (this ROM format is not supported)
const char FORMAT_MESSAGE[] =
    "\x82\xB1\x82\xCC" "ROM" "\x83\x74\x83\x48\x81\x5B\x83\x7D\x83\x62\x83\x67"
    "\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1\x81\x42";

// "ZirelのROMデータではありません。" (this is not ROM data of Zirel)
const char TITLE_MESSAGE[] =
    "Zirel" "\x82\xCC" "ROM" "\x83\x66\x81\x5B\x83\x5E\x82\xC5\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

// "V1.%cのROMには対応していません。" (the ROM of release V1.v is not
// supported), split around the version character.
const char VERSION_MESSAGE_HEAD[] = "V1.";
const char VERSION_MESSAGE_TAIL[] =
    "\x82\xCC" "ROM" "\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2"
    "\x82\xDC\x82\xB9\x82\xF1\x81\x42";

const uint8_t FORMAT_OFFSET = 0x08;
const uint8_t FORMAT_BYTE = 0x80;
const uint8_t TITLE_OFFSET = 0x20;
const char TITLE[] = "ZIRE";
const uint8_t VERSION_OFFSET = 0x3F;
const int END_OF_FILE = -1;

// The byte at `offset`, or END_OF_FILE where the image has none.
int byte_at(const uint8_t* header, size_t n, size_t offset) {
  return offset < n ? header[offset] : END_OF_FILE;
}

}  // namespace

bool check_rom_image(const uint8_t* header, size_t n, Output& out) {
  if (byte_at(header, n, FORMAT_OFFSET) != FORMAT_BYTE) {
    out.write(FORMAT_MESSAGE, sizeof FORMAT_MESSAGE - 1);
    return false;
  }
  for (size_t i = 0; i < sizeof TITLE - 1; ++i) {
    if (byte_at(header, n, TITLE_OFFSET + i) != static_cast<uint8_t>(TITLE[i])) {
      out.write(TITLE_MESSAGE, sizeof TITLE_MESSAGE - 1);
      return false;
    }
  }
  const int version = byte_at(header, n, VERSION_OFFSET);
  if (version != 0) {
    // The version character is v + '0' taken as one byte, so end of file
    // (-1) gives '/' and 0xD0 gives a zero byte, written like any other.
    const char version_char = static_cast<char>((version + 0x30) & 0xFF);
    out.write(VERSION_MESSAGE_HEAD, sizeof VERSION_MESSAGE_HEAD - 1);
    out.write(&version_char, 1);
    out.write(VERSION_MESSAGE_TAIL, sizeof VERSION_MESSAGE_TAIL - 1);
    return false;
  }
  return true;
}
