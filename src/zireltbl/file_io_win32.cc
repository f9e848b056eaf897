// zireltbl's file layer on Windows: the C runtime's low-level file calls,
// standard streams in binary mode, and MoveFileEx to put the new table in
// place of an existing one. Names are taken as given: no wildcard expansion.
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <stdio.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "zireltbl/file_io.h"

extern "C" {
int _dowildcard = 0;
}

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

int descriptor_of(FILE* stream) {
  const int fd = _fileno(stream);
  return fd >= 0 ? fd : -1;
}

bool write_all(int fd, const char* bytes, size_t n) {
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

void init_streams() {
  const int out = descriptor_of(stdout);
  const int err = descriptor_of(stderr);
  if (out >= 0) _setmode(out, _O_BINARY);
  if (err >= 0) _setmode(err, _O_BINARY);
}

bool read_whole_file(const char* path, std::string& bytes, std::string& why) {
  const int fd = _open(path, _O_RDONLY | _O_BINARY);
  struct _stati64 info;
  if (fd < 0) {
    // A directory cannot be opened here at all: "permission denied".
    const int error = errno;
    const bool directory =
        _stati64(path, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR;
    why = directory ? "a directory" : reason(error);
    return false;
  }
  if (_fstati64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    why = (info.st_mode & _S_IFMT) == _S_IFDIR ? "a directory" : "not a regular file";
    _close(fd);
    return false;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) bytes.resize(got + 4096);
    const size_t left = bytes.size() - got;
    const unsigned want = left < 0x40000000u ? static_cast<unsigned>(left) : 0x40000000u;
    const int r = _read(fd, &bytes[got], want);
    if (r < 0) {
      why = reason(errno);
      _close(fd);
      return false;
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  bytes.resize(got);
  _close(fd);
  return true;
}

bool replace_file(const char* path, const std::string& bytes, std::string& why) {
  struct _stati64 info;
  if (_stati64(path, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFDIR) {
    why = "a directory";
    return false;
  }
  // A name of our own beside the target: the process id and a counter.
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = std::string(path) + ".tmp-" + std::to_string(_getpid()) + "-" +
           std::to_string(attempt);
    fd = _open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
               _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    why = reason(errno);
    return false;
  }
  // On the disk before it takes the old file's place.
  bool good = write_all(fd, bytes.data(), bytes.size()) && _commit(fd) == 0;
  int error = errno;
  if (_close(fd) != 0 && good) {
    good = false;
    error = errno;
  }
  if (good && !MoveFileExA(temp.c_str(), path,
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    good = false;
    const DWORD code = GetLastError();
    error = code == ERROR_ACCESS_DENIED ? EACCES
          : code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND ? ENOENT
          : EIO;
  }
  if (!good) {
    _unlink(temp.c_str());
    why = reason(error);
  }
  return good;
}

bool write_stdout(const std::string& bytes) {
  return write_all(descriptor_of(stdout), bytes.data(), bytes.size());
}

void write_stderr(const std::string& bytes) {
  write_all(descriptor_of(stderr), bytes.data(), bytes.size());
}
