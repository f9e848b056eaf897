// The platform on Windows: the C runtime's low-level file calls, with
// standard output and standard error in binary mode, so that the tool's own
// line-end translation is the only one and the program writes the same bytes
// as on every other system.
//
// The C runtime splits the command line by the usual rules (a quoted name
// with blanks is one argument, "" an empty one, the quotation marks are not
// part of it). It does not expand wildcards: the shell on POSIX does that,
// the Windows shells do not, and a name is taken as given.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cstring>

#include "main/platform.h"

// Read by the mingw-w64 start-up code: no wildcard expansion of the
// arguments, whatever the toolchain's default.
extern "C" {
int _dowildcard = 0;
}

namespace {

// The descriptor of a standard stream, or -1 when the process has none (it
// was started with that stream closed).
int descriptor_of(FILE* stream) {
  const int fd = _fileno(stream);
  return fd >= 0 ? fd : -1;
}

}  // namespace

RealPlatform::RealPlatform() {
  const int out = descriptor_of(stdout);
  const int err = descriptor_of(stderr);
  if (out >= 0) _setmode(out, _O_BINARY);
  if (err >= 0) _setmode(err, _O_BINARY);
}

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
  if (fd < 0) return false;
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
  return write_all(descriptor_of(stdout), bytes, n);
}

void RealPlatform::write_error(const char* line) {
  write_all(descriptor_of(stderr), reinterpret_cast<const uint8_t*>(line),
            std::strlen(line));
}
