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

// Bytes a text of `n` bytes takes after line-end translation, at most 2 * n.
size_t translated_size(const char* text, size_t n);

// Translates `n` bytes of `text` into `dest`, which must hold
// `translated_size(text, n)` bytes; returns the number written.
size_t translate_line_ends(const char* text, size_t n, uint8_t* dest);

class Output {
 public:
  // Bytes held before a block goes to the sink.
  static constexpr size_t BUFFER_SIZE = 64 * 1024;

  explicit Output(OutputSink& sink) : sink_(sink) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Writes a text, translating its line ends.
  void write(const char* text, size_t n);
  // Writes a zero-terminated text, translating its line ends.
  void write(const char* text) { write(text, std::strlen(text)); }

  // Fast path for the decoder. `reserve(n)` makes room for `n` translated
  // bytes (n <= BUFFER_SIZE); the caller then stores them with
  // `put_translated` before the next call that writes.
  void reserve(size_t n) {
    if (static_cast<size_t>(BUFFER_SIZE - used_) < n) drain();
  }
  // Appends bytes that are already translated; `MAX` bytes of `bytes` are
  // copied (so a fixed-size copy can be used) but only `n` count.
  template <size_t MAX>
  void put_translated(const uint8_t (&bytes)[MAX], size_t n) {
    static_assert(MAX <= SLACK, "copy must fit the slack past the buffer");
    std::memcpy(buffer_ + used_, bytes, MAX);
    used_ += n;
  }

  // Delivers everything still buffered. True when every byte written since
  // the start reached the sink.
  bool finish();

 private:
  void drain();

  OutputSink& sink_;
  bool failed_ = false;
  size_t used_ = 0;
  // Room for one fixed-size copy past the last counted byte.
  static constexpr size_t SLACK = 16;
  uint8_t buffer_[BUFFER_SIZE + SLACK];
};

#endif  // ZIREL_MAIN_OUTPUT_H_
