// The platform layer in the browser; see platform_web.h.
#include "platform_web.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "main/platform.h"
#include "main/run.h"

#define ZIREL_IMPORT(name) \
  __attribute__((import_module("env"), import_name(name)))
#define ZIREL_EXPORT(name) __attribute__((export_name(name)))

extern "C" {
// The offset travels as a double: exact up to 2^53 bytes, and a plain number
// on the page's side.
ZIREL_IMPORT("read_at")
size_t web_read_at(int file, double offset, uint8_t* buffer, size_t n);
ZIREL_IMPORT("write_error") void web_write_error(const char* line);
}

namespace {

constexpr Platform::File IMAGE_FILE = 0;
constexpr Platform::File TABLE_FILE = 1;

// The run's standard output, collected here and handed to the page whole:
// one copy out of the module instead of one per block.
std::vector<uint8_t> standard_output;

class WebPlatform : public Platform {
 public:
  WebPlatform(const char* image_name, bool has_image, bool has_table)
      : image_name_(image_name), has_image_(has_image), has_table_(has_table) {}

  File open_file(const char* path) override {
    // The argument names the image, as a path names a file; the empty name
    // names no file, as on every system.
    if (has_image_ && image_name_ != nullptr && *path != '\0' &&
        std::strcmp(path, image_name_) == 0) {
      return IMAGE_FILE;
    }
    if (has_table_ && std::strcmp(path, TABLE_FILE_NAME) == 0) return TABLE_FILE;
    return NO_FILE;
  }

  size_t read_at(File file, uint64_t offset, uint8_t* buffer, size_t n) override {
    return web_read_at(file, static_cast<double>(offset), buffer, n);
  }

  bool write(const uint8_t* bytes, size_t n) override {
    standard_output.insert(standard_output.end(), bytes, bytes + n);
    return true;
  }

  void write_error(const char* line) override { web_write_error(line); }

 private:
  const char* image_name_;
  bool has_image_;
  bool has_table_;
};

}  // namespace

ZIREL_EXPORT("zirel_alloc") void* zirel_alloc(size_t n) {
  return std::malloc(n == 0 ? 1 : n);
}

ZIREL_EXPORT("zirel_free") void zirel_free(void* p) { std::free(p); }

ZIREL_EXPORT("zirel_run") int zirel_run(const char* name, int has_image,
                                        int has_table) {
  standard_output.clear();
  WebPlatform platform(name, has_image != 0, has_table != 0);
  const char* argv[] = {"n64zirelcnv", name, nullptr};
  return run(name != nullptr ? 2 : 1, argv, platform);
}

ZIREL_EXPORT("zirel_output") const uint8_t* zirel_output() {
  return standard_output.data();
}

ZIREL_EXPORT("zirel_output_size") size_t zirel_output_size() {
  return standard_output.size();
}
