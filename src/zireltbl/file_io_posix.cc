// zireltbl's file layer on POSIX systems: plain file descriptors.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "zireltbl/file_io.h"

namespace {

std::string reason(int error) {
  switch (error) {
    case ENOENT: return "no such file";
    case EACCES: case EPERM: return "permission denied";
    case EISDIR: return "a directory";
    case ENOTDIR: return "a name in the path is not a directory";
    case ENOSPC: return "no space left on the device";
    case EROFS: return "the file system is read-only";
    default: return "input/output error";
  }
}

bool write_all(int fd, const char* bytes, size_t n) {
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

void init_streams() {
  // A reader that goes away is a failed write, reported like any other.
  signal(SIGPIPE, SIG_IGN);
}

bool read_whole_file(const char* path, std::string& bytes, std::string& why) {
  // O_NONBLOCK: the open of a FIFO does not wait; it is refused right after.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = reason(errno);
    return false;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = S_ISDIR(info.st_mode) ? "a directory" : "not a regular file";
    close(fd);
    return false;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(got + 4096);  // it may have grown
    const ssize_t r = read(fd, &bytes[got], bytes.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      why = reason(errno);
      close(fd);
      return false;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  bytes.resize(got);
  close(fd);
  return true;
}

bool replace_file(const char* path, const std::string& bytes, std::string& why) {
  struct stat info;
  if (stat(path, &info) == 0 && S_ISDIR(info.st_mode)) {
    why = "a directory";
    return false;
  }
  std::string temp = std::string(path) + ".tmp-XXXXXX";
  const int fd = mkstemp(&temp[0]);
  if (fd < 0) {
    why = reason(errno);
    return false;
  }
  // mkstemp makes the file for its owner only; give it what a new file gets.
  const mode_t mask = umask(0);
  umask(mask);
  // On the disk before it takes the old file's place, so that a crash
  // leaves the old table or the new one, never an empty file.
  bool good = fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, bytes.data(), bytes.size()) &&
              fsync(fd) == 0;
  int error = errno;
  if (close(fd) != 0 && good) {
    good = false;
    error = errno;
  }
  if (good && rename(temp.c_str(), path) != 0) {
    good = false;
    error = errno;
  }
  if (!good) {
    unlink(temp.c_str());
    why = reason(error);
  }
  return good;
}

bool write_stdout(const std::string& bytes) {
  return write_all(STDOUT_FILENO, bytes.data(), bytes.size());
}

void write_stderr(const std::string& bytes) {
  write_all(STDERR_FILENO, bytes.data(), bytes.size());
}
