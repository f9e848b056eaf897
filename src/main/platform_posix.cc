// The platform on POSIX systems: plain file descriptors, no stdio.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "main/platform.h"

RealPlatform::RealPlatform() {
  // A reader that goes away is a failed write, reported like any other,
  // rather than a signal that ends the run without a word.
  signal(SIGPIPE, SIG_IGN);
}

Platform::File RealPlatform::open_file(const char* path) {
  // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; such a
  // name is refused right after, like every name that is not a regular file.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return NO_FILE;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return NO_FILE;
  }
  return fd;
}

size_t RealPlatform::read_at(File file, uint64_t offset, uint8_t* buffer,
                             size_t n) {
  size_t got = 0;
  while (got < n) {
    const ssize_t r = pread(file, buffer + got, n - got,
                            static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    got += static_cast<size_t>(r);
  }
  return got;
}

namespace {

bool write_all(int fd, const uint8_t* bytes, size_t n) {
  while (n > 0) {
    const ssize_t r = ::write(fd, bytes, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    bytes += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

}  // namespace

bool RealPlatform::write(const uint8_t* bytes, size_t n) {
  return write_all(STDOUT_FILENO, bytes, n);
}

void RealPlatform::write_error(const char* line) {
  write_all(STDERR_FILENO, reinterpret_cast<const uint8_t*>(line),
            std::strlen(line));
}
