// Fuzz target: the whole run, from banner to exit status, on an image and a
// table made of the input's bytes, held in memory.
//
// An input is read as:
//   byte 0  flags:
//             bits 0-1  where the image's bytes go (see below)
//             bit 2     the header's checked bytes are set to pass
//             bit 3     standard output fails
//             bit 4     there is no table file
//             bits 5-7  v, a small shift (placements 2 and 3)
//   byte 1  table file length: 3 times this, cut where the input ends
//   byte 2  header length, % 0x41 (placements 1 to 3)
//   then    the table file's bytes, the header's bytes, and the rest
// A missing byte of the first three reads as 0.
//
// Placements, each an image made of a few stretches with zero bytes between
// them, so that it runs fast whatever its size:
//   0  the image is the rest, 4 KiB at most, so it ends in the header or
//      before the region
//   1  the header (zeros up to 0x40), then the rest from REGION_FIRST on:
//      the image ends inside the region, soon after its start
//   2  the header, then a region of items that only skip their arguments,
//      with the rest as the image's last bytes, and the image ending
//      (v % 7) - 3 bytes after the region's last byte: the walk reaches the
//      region's end, or the image ends just before it
//   3  the header, then the rest from v bytes before REGION_FIRST on: the
//      image ends just before, at or just after the region's start
//
// The platform marks what a read did not fill as not to be read (under
// AddressSanitizer; elsewhere it fills it with junk), so the run may use only
// the bytes its files have.
//
// Checked on every input: the output is what the header check and the
// decoder give on the image's bytes, after the banner, with the truncation
// note exactly when the walk was truncated, and the status that goes with
// it; a failed standard output gives nothing but status 1 and one line on
// standard error; no 0x0A goes out alone; the output stays within what the
// input can produce; a second run gives the same result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "decode/decoder.h"
#include "fuzz_checks.h"
#include "main/output.h"
#include "main/platform.h"
#include "main/run.h"
#include "rom/rom_check.h"
#include "table/char_table.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZIREL_FUZZ_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZIREL_FUZZ_ASAN 1
#endif
#ifdef ZIREL_FUZZ_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

const char ROM_NAME[] = "rom.z64";

// The note after the text of an image that ends inside the region.
const std::string TRUNCATED_NOTE =
    "\r\n" "ROM" "\x83\x66\x81\x5B\x83\x5E\x82\xAA\x93\x72\x92\x86\x82\xC5\x8F"
    "\x49\x82\xED\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";
const std::string TABLE_NOT_FOUND = "table data not found.\r\n";

// An image of `size` bytes: its first bytes, and one stretch from
// `stretch_at` on to its end; bytes between them are zero. The stretch is
// kept from one input to the next: a fresh block of over a megabyte each time
// would cost more than the run itself.
struct Image {
  std::vector<uint8_t> head;
  std::vector<uint8_t>& stretch;
  uint64_t stretch_at = 0;
  uint64_t size = 0;
};

// The image's bytes from REGION_FIRST on, all in its stretch.
struct RegionBytes {
  const uint8_t* bytes = nullptr;
  size_t loaded = 0;
};
RegionBytes region_of(const Image& image) {
  RegionBytes r;
  if (image.size > REGION_FIRST) {
    FUZZ_CHECK(image.stretch_at <= REGION_FIRST);
    FUZZ_CHECK(image.stretch_at + image.stretch.size() == image.size);
    r.bytes = image.stretch.data() + (REGION_FIRST - image.stretch_at);
    r.loaded = static_cast<size_t>(image.size - REGION_FIRST);
  }
  return r;
}

// Copies what `from` (placed at offset `at`) has of [offset, offset + n).
void copy_overlap(const std::vector<uint8_t>& from, uint64_t at,
                  uint64_t offset, uint8_t* buffer, size_t n) {
  const uint64_t begin = std::max(at, offset);
  const uint64_t end = std::min<uint64_t>(at + from.size(), offset + n);
  if (begin >= end) return;
  std::memcpy(buffer + (begin - offset), from.data() + (begin - at),
              static_cast<size_t>(end - begin));
}

struct FuzzPlatform : Platform {
  explicit FuzzPlatform(std::vector<uint8_t>& stretch) : image{{}, stretch} {}
  Image image;
  std::vector<uint8_t> table;
  bool has_table = true;
  bool output_fails = false;
  size_t output_limit = 0;
  std::string out;
  std::string err;

  File open_file(const char* path) override {
    if (std::strcmp(path, ROM_NAME) == 0) return 0;
    if (has_table && std::strcmp(path, TABLE_FILE_NAME) == 0) return 1;
    return NO_FILE;
  }

  size_t read_at(File file, uint64_t offset, uint8_t* buffer,
                 size_t n) override {
#ifdef ZIREL_FUZZ_ASAN
    ASAN_UNPOISON_MEMORY_REGION(buffer, n);
#endif
    size_t got = 0;
    if (file == 1) {
      got = offset < table.size()
                ? std::min<size_t>(n, static_cast<size_t>(table.size() - offset))
                : 0;
      copy_overlap(table, 0, offset, buffer, n);
    } else {
      FUZZ_CHECK(file == 0);
      const uint64_t size = image.size;
      got = offset < size ? static_cast<size_t>(std::min<uint64_t>(n, size - offset))
                          : 0;
      std::memset(buffer, 0, got);
      copy_overlap(image.head, 0, offset, buffer, got);
      copy_overlap(image.stretch, image.stretch_at, offset, buffer, got);
    }
    // Beyond `got` the buffer holds nothing of the file.
#ifdef ZIREL_FUZZ_ASAN
    ASAN_POISON_MEMORY_REGION(buffer + got, n - got);
#else
    std::memset(buffer + got, 0xA5, n - got);
#endif
    return got;
  }

  bool write(const uint8_t* bytes, size_t n) override {
    if (output_fails) return false;
    out.append(reinterpret_cast<const char*>(bytes), n);
    FUZZ_CHECK(out.size() <= output_limit);
    return true;
  }

  void write_error(const char* line) override { err += line; }
};

struct Ran {
  int status;
  std::string out;
  std::string err;
};

Ran run_on(FuzzPlatform& platform) {
  platform.out.clear();
  platform.err.clear();
  const char* const argv[] = {"n64zirelcnv", ROM_NAME};
  Ran r;
  r.status = run(2, argv, platform);
  r.out = platform.out;
  r.err = platform.err;
  return r;
}

// The banner: the output of a run without argument, less its last line
// (the usage).
const std::string& banner() {
  static const std::string text = [] {
    std::vector<uint8_t> no_stretch;
    FuzzPlatform platform(no_stretch);
    platform.output_limit = 4096;
    const char* const argv[] = {"n64zirelcnv"};
    run(1, argv, platform);
    std::string out = platform.out;
    FUZZ_CHECK(out.size() > 2 && out.compare(out.size() - 2, 2, "\r\n") == 0);
    const size_t last_line = out.rfind("\r\n", out.size() - 3);
    FUZZ_CHECK(last_line != std::string::npos);
    out.resize(last_line + 2);
    return out;
  }();
  return text;
}

// A region of 10-byte items that only skip their arguments (code 0x15).
const std::vector<uint8_t>& filler() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> b(REGION_SIZE + 3, 0x00);
    for (size_t i = 0; i + 1 < b.size(); i += 10) {
      b[i] = ESCAPE_BYTE;
      b[i + 1] = 0x15;
    }
    return b;
  }();
  return bytes;
}

// What the header check and the decoder write for `image`.
std::string output_of(const Image& image, const std::vector<uint8_t>& table_file,
                      DecodeEnd* end, bool* passed) {
  struct Sink : OutputSink {
    std::string bytes;
    bool write(const uint8_t* data, size_t n) override {
      bytes.append(reinterpret_cast<const char*>(data), n);
      return true;
    }
  } sink;
  Output out(sink);
  const size_t header_size = std::min<size_t>(
      HEADER_BYTES, std::min<uint64_t>(image.size, image.head.size()));
  *passed = check_rom_image(image.head.data(), header_size, out);
  if (*passed) {
    CharTable table;
    load_char_table(table_file.data(), table_file.size(), table);
    const RegionBytes region = region_of(image);
    *end = decode_messages(region.bytes, region.loaded, table, out);
  }
  FUZZ_CHECK(out.finish());
  return sink.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto byte = [data, size](size_t i) -> size_t {
    return i < size ? data[i] : 0;
  };
  const size_t flags = byte(0);
  const size_t placement = flags & 3;
  const bool valid_header = (flags & 4) != 0;
  static std::vector<uint8_t> stretch;
  stretch.clear();
  FuzzPlatform setup(stretch);
  setup.output_fails = (flags & 8) != 0;
  setup.has_table = (flags & 16) == 0;
  const size_t shift = flags >> 5;

  size_t at = std::min<size_t>(size, 3);
  const size_t table_size = std::min(3 * byte(1), size - at);
  setup.table.assign(data + at, data + at + table_size);
  at += table_size;
  const size_t header_size =
      placement == 0 ? 0 : std::min(byte(2) % (HEADER_BYTES + 1), size - at);
  const std::vector<uint8_t> header(data + at, data + at + header_size);
  at += header_size;
  const std::vector<uint8_t> rest(data + at, data + size);

  Image& image = setup.image;
  if (placement == 0) {
    image.head.assign(rest.begin(), rest.begin() + std::min<size_t>(rest.size(), 4096));
    image.size = image.head.size();
  } else {
    image.head = header;
    image.head.resize(HEADER_BYTES, 0x00);
    if (placement == 1) {
      stretch = rest;
      image.stretch_at = REGION_FIRST;
    } else if (placement == 2) {
      const size_t full = REGION_SIZE + shift % 7 - 3;
      stretch.assign(filler().begin(), filler().begin() + full);
      const size_t n = std::min(rest.size(), full);
      std::copy(rest.end() - n, rest.end(), stretch.end() - n);
      image.stretch_at = REGION_FIRST;
    } else {
      stretch = rest;
      image.stretch_at = REGION_FIRST - shift;
    }
    image.size = image.stretch_at + stretch.size();
  }
  if (valid_header) {
    const uint8_t checked[][2] = {
        {0x08, 0x80}, {0x20, 'Z'}, {0x21, 'I'}, {0x22, 'R'}, {0x23, 'E'}, {0x3F, 0x00}};
    for (const auto& c : checked) {
      if (c[0] < image.head.size()) image.head[c[0]] = c[1];
    }
  }

  // The banner, the legend or a refusal, the note, and the region's text.
  const RegionBytes region = region_of(image);
  setup.output_limit =
      banner().size() + 2 * SYMBOL_LEGEND_SIZE + TRUNCATED_NOTE.size() +
      max_decoded_size(region.bytes, region.loaded, REGION_SIZE);

  // What the run must give, from its parts.
  DecodeEnd end = DecodeEnd::COMPLETE;
  bool passed = false;
  std::string expected_out = banner();
  int expected_status = 1;
  if (!setup.has_table) {
    expected_out += TABLE_NOT_FOUND;
  } else {
    expected_out += output_of(image, setup.table, &end, &passed);
    if (passed && end == DecodeEnd::TRUNCATED) expected_out += TRUNCATED_NOTE;
    if (passed && end == DecodeEnd::COMPLETE) expected_status = 0;
  }

  const Ran first = run_on(setup);
  if (setup.output_fails) {
    FUZZ_CHECK(first.status == 1);
    FUZZ_CHECK(first.out.empty());
    FUZZ_CHECK(!first.err.empty() && first.err.back() == '\n');
    FUZZ_CHECK(std::count(first.err.begin(), first.err.end(), '\n') == 1);
  } else {
    FUZZ_CHECK(first.status == expected_status);
    FUZZ_CHECK(first.out == expected_out);
    FUZZ_CHECK(first.err.empty());
    FUZZ_CHECK(every_line_feed_has_its_return(first.out));
  }

  const Ran again = run_on(setup);
  FUZZ_CHECK(again.status == first.status);
  FUZZ_CHECK(again.out == first.out);
  FUZZ_CHECK(again.err == first.err);
  return 0;
}
