// Standard output as the tool writes it: buffered, in large blocks, with the
// tool's own line-end translation.
//
// Every byte 0x0A handed to `Output` leaves it as the two bytes 0x0D 0x0A; no
// other byte changes and nothing is added. The translation is the same on
// every platform, because the sink below it takes bytes unchanged (standard
// output in binary mode).
//
// Nothing is delivered until the buffer is full or `finish` is called, so a
// run's whole output reaches the sink in a few large writes. A sink that fails
// once is not written to again; `finish` reports whether every byte arrived.
#ifndef ZIREL_MAIN_OUTPUT_H_
#define ZIREL_MAIN_OUTPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

// Where translated output goes: standard output, or a buffer in tests.
struct OutputSink {
  virtual ~OutputSink() = default;
  // Writes all `n` bytes unchanged; false when they could not all be written.
  virtual bool write(const uint8_t* bytes, size_t n) = 0;
};

// Translates `n` bytes of `text` into `dest`, every 0x0A becoming 0x0D 0x0A;
// `dest` needs room for 2 * n bytes. Returns the number of bytes stored.
constexpr size_t translate_line_ends(const char* text, size_t n, uint8_t* dest) {
  size_t size = 0;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (b == 0x0A) dest[size++] = 0x0D;
    dest[size++] = b;
  }
  return size;
}

class Output {
 public:
  // Bytes held before a block goes to the sink.
  static constexpr size_t BUFFER_SIZE = 256 * 1024;
  // Bytes past a claimed stretch that a fixed-size copy may overwrite.
  static constexpr size_t SLACK = 32;
  // Most bytes one `claim` may ask for.
  static constexpr size_t MAX_CLAIM = BUFFER_SIZE / 2;

  explicit Output(OutputSink& sink) : sink_(sink) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes a text, translating its line ends.
  void write(const char* text, size_t n);
  // Writes a zero-terminated text, translating its line ends.
  void write(const char* text) { write(text, std::strlen(text)); }

  // Direct access for the decoder's inner loop: returns where the next byte
  // goes, with room for `n` (at most MAX_CLAIM) translated bytes and SLACK
  // bytes more that fixed-size copies may overwrite. The caller stores
  // bytes from there on and hands back the end of what it stored with
  // `commit`, before any other call.
  uint8_t* claim(size_t n) {
    if (BUFFER_SIZE - used_ < n) drain();
    return buffer_ + used_;
  }
  void commit(const uint8_t* end) { used_ = static_cast<size_t>(end - buffer_); }

  // Delivers everything still buffered. True when every byte written since
  // the start reached the sink.
  bool finish();

 private:
  void drain();

  OutputSink& sink_;
  bool failed_ = false;
  size_t used_ = 0;
  uint8_t buffer_[BUFFER_SIZE + SLACK];
};

#endif  // ZIREL_MAIN_OUTPUT_H_
