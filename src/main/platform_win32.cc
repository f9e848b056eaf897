// The platform on Windows: the C runtime's low-level file calls, with
// standard output in binary mode so that the tool's own line-end translation
// is the only one.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cstring>

#include "main/platform.h"

RealPlatform::RealPlatform() { _setmode(_fileno(stdout), _O_BINARY); }

Platform::File RealPlatform::open_file(const char* path) {
  const int fd = _open(path, _O_RDONLY | _O_BINARY);
  if (fd < 0) return NO_FILE;
  struct _stati64 info;
  if (_fstati64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    _close(fd);
    return NO_FILE;
  }
  return fd;
}

size_t RealPlatform::read_at(File file, uint64_t offset, uint8_t* buffer,
                             size_t n) {
  if (_lseeki64(file, static_cast<__int64>(offset), SEEK_SET) < 0) return 0;
  size_t got = 0;
  while (got < n) {
    const size_t want = n - got < 0x40000000u ? n - got : 0x40000000u;
    const int r = _read(file, buffer + got, static_cast<unsigned>(want));
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  return got;
}

namespace {

bool write_all(int fd, const uint8_t* bytes, size_t n) {
  while (n > 0) {
    const unsigned want = n < 0x40000000u ? static_cast<unsigned>(n) : 0x40000000u;
    const int r = _write(fd, bytes, want);
    if (r <= 0) return false;
    bytes += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

bool RealPlatform::write(const uint8_t* bytes, size_t n) {
  return write_all(_fileno(stdout), bytes, n);
}

void RealPlatform::write_error(const char* line) {
  write_all(_fileno(stderr), reinterpret_cast<const uint8_t*>(line),
            std::strlen(line));
}
