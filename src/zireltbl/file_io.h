// zireltbl's view of the operating system: whole files read and written,
// standard output and standard error. `file_io_posix.cc` and
// `file_io_win32.cc` implement it; nothing else in zireltbl touches files or
// streams.
#ifndef ZIREL_ZIRELTBL_FILE_IO_H_
#define ZIREL_ZIRELTBL_FILE_IO_H_

#include <cstddef>
#include <cstdint>
#include <string>

// Puts standard output and standard error in binary mode where that
// matters, so that the program writes the same bytes everywhere.
void init_streams();

// Reads the whole regular file `path` into `bytes`. On failure returns
// false with the reason in `why`, in words the same on every system
// ("no such file", "permission denied", "not a regular file", ...).
bool read_whole_file(const char* path, std::string& bytes, std::string& why);

// Writes `bytes` as the file `path`: into a new temporary file beside it,
// which then replaces `path` (an existing file too) in one step. On failure
// `path` is left as it was, the temporary file is removed, and the reason
// is in `why`.
bool replace_file(const char* path, const std::string& bytes, std::string& why);

// Writes to standard output; false when that failed.
bool write_stdout(const std::string& bytes);

// Writes to standard error.
void write_stderr(const std::string& bytes);

#endif  // ZIREL_ZIRELTBL_FILE_IO_H_
