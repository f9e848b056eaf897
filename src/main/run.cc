#include "main/run.h"

#include "decode/decoder.h"
#include "main/output.h"
#include "main/platform.h"
#include "rom/rom_check.h"
#include "table/char_table.h"

namespace {

const char BANNER[] =
    "-- N64 Zirel Message Converter V1.1 --\n"
    "Writes the message text of a Zirel ROM image as Shift_JIS text.\n"
    "Character codes are looked up in zirel.tbl in the current directory.\n";

const char USAGE[] =
    " usage:N64ZIRELCNV.EXE {Zirel.n64 romfile} > {outputfile}\n";

const char TABLE_NOT_FOUND[] = "table data not found.\n";

// "ROMデータが途中で終わっています。" (the ROM data ends part way), on a line
// of its own after the text decoded so far, without a line end after it.
const char TRUNCATED_MESSAGE[] =
    "\n" "ROM" "\x83\x66\x81\x5B\x83\x5E\x82\xAA\x93\x72\x92\x86\x82\xC5\x8F\x49"
    "\x82\xED\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";

const char WRITE_FAILED[] = "n64zirelcnv: cannot write standard output\n";

// Storage for one run, fixed in size: the table file's bytes and the table,
// the image's header and its message region with the byte after it.
struct RunStorage {
  uint8_t table_file[TABLE_FILE_BYTES];
  CharTable table;
  uint8_t header[HEADER_BYTES];
  uint8_t region[REGION_READ_BYTES];
};
RunStorage storage;

// Ends the run: delivers all pending output, and turns a failed delivery
// into status 1, said on standard error since standard output failed.
int end_run(Output& out, Platform& platform, int status) {
  if (out.finish()) return status;
  platform.write_error(WRITE_FAILED);
  return 1;
}

}  // namespace

int run(int argc, const char* const* argv, Platform& platform) {
  Output out(platform);
  out.write(BANNER);
  if (argc < 2) {
    out.write(USAGE);
    return end_run(out, platform, 0);
  }

  const char* rom_path = argv[1];
  const Platform::File rom = platform.open_file(rom_path);
  if (rom == Platform::NO_FILE) {
    out.write("file ");
    out.write(rom_path);
    out.write(" not found.\n");
    return end_run(out, platform, 1);
  }
  const Platform::File table_file = platform.open_file(TABLE_FILE_NAME);
  if (table_file == Platform::NO_FILE) {
    out.write(TABLE_NOT_FOUND);
    return end_run(out, platform, 1);
  }

  const size_t table_size = platform.read_at(table_file, 0, storage.table_file,
                                             sizeof storage.table_file);
  load_char_table(storage.table_file, table_size, storage.table);

  const size_t header_size =
      platform.read_at(rom, 0, storage.header, sizeof storage.header);
  if (!check_rom_image(storage.header, header_size, out)) {
    return end_run(out, platform, 1);
  }

  const size_t region_size = platform.read_at(rom, REGION_FIRST, storage.region,
                                              sizeof storage.region);
  if (decode_messages(storage.region, region_size, storage.table, out) ==
      DecodeEnd::TRUNCATED) {
    out.write(TRUNCATED_MESSAGE, sizeof TRUNCATED_MESSAGE - 1);
    return end_run(out, platform, 1);
  }
  return end_run(out, platform, 0);
}
