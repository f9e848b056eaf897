// A platform held in memory: named files, standard output and standard error
// as strings, and a log of the names opened, so that a whole run can be
// checked without touching the disk.
#ifndef ZIREL_TESTS_FAKE_PLATFORM_H_
#define ZIREL_TESTS_FAKE_PLATFORM_H_

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "main/platform.h"

struct FakePlatform : Platform {
  std::map<std::string, std::string> files;
  std::vector<std::string> opened;  // every name asked for, in order
  std::vector<std::string> handles;
  std::string out;
  std::string err;
  bool output_fails = false;
  int output_writes = 0;
  int reads = 0;

  File open_file(const char* path) override {
    opened.push_back(path);
    if (files.count(path) == 0) return NO_FILE;
    handles.push_back(path);
    return static_cast<File>(handles.size() - 1);
  }

  size_t read_at(File file, uint64_t offset, uint8_t* buffer, size_t n) override {
    ++reads;
    const std::string& bytes = files.at(handles.at(static_cast<size_t>(file)));
    if (offset >= bytes.size()) return 0;
    const size_t got = std::min<size_t>(n, bytes.size() - offset);
    std::memcpy(buffer, bytes.data() + offset, got);
    return got;
  }

  bool write(const uint8_t* bytes, size_t n) override {
    ++output_writes;
    if (output_fails) return false;
    out.append(reinterpret_cast<const char*>(bytes), n);
    return true;
  }

  void write_error(const char* line) override { err += line; }
};

#endif  // ZIREL_TESTS_FAKE_PLATFORM_H_
