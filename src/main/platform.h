// The operating system as the tool sees it: opening and reading input files,
// writing standard output and standard error. `RealPlatform` is the real one
// (POSIX or Windows); tests use a fake that keeps files and output in memory.
// Nothing else in the tool touches files or streams.
#ifndef ZIREL_MAIN_PLATFORM_H_
#define ZIREL_MAIN_PLATFORM_H_

#include <cstddef>
#include <cstdint>

#include "main/output.h"

struct Platform : OutputSink {
  // An open input file, or NO_FILE.
  using File = int;
  static constexpr File NO_FILE = -1;

  // Opens `path` for reading, never for writing. Fails (NO_FILE) for any name
  // that is not a readable regular file: missing, no permission, a directory,
  // a FIFO or a device. Never blocks.
  virtual File open_file(const char* path) = 0;

  // Reads up to `n` bytes from `offset` on into `buffer`; returns how many it
  // got, fewer only at the end of the file or on a read error.
  virtual size_t read_at(File file, uint64_t offset, uint8_t* buffer,
                         size_t n) = 0;

  // OutputSink::write: writes bytes to standard output unchanged.

  // Writes a line on standard error; used only when standard output failed.
  virtual void write_error(const char* line) = 0;
};

// The platform the tool runs on. Standard output is put in binary mode, so
// that only the tool's own line-end translation applies.
class RealPlatform : public Platform {
 public:
  RealPlatform();
  File open_file(const char* path) override;
  size_t read_at(File file, uint64_t offset, uint8_t* buffer,
                 size_t n) override;
  bool write(const uint8_t* bytes, size_t n) override;
  void write_error(const char* line) override;
};

#endif  // ZIREL_MAIN_PLATFORM_H_
