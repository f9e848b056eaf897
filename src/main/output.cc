#include "main/output.h"

size_t translated_size(const char* text, size_t n) {
  size_t size = n;
  for (size_t i = 0; i < n; ++i) size += (text[i] == '\n');
  return size;
}

size_t translate_line_ends(const char* text, size_t n, uint8_t* dest) {
  uint8_t* d = dest;
  for (size_t i = 0; i < n; ++i) {
    const uint8_t b = static_cast<uint8_t>(text[i]);
    if (b == 0x0A) *d++ = 0x0D;
    *d++ = b;
  }
  return static_cast<size_t>(d - dest);
}

void Output::write(const char* text, size_t n) {
  // Translate in pieces that fit the buffer; a piece of up to half the
  // buffer's size can take at most the whole buffer once translated.
  while (n > 0) {
    const size_t piece = n < BUFFER_SIZE / 2 ? n : BUFFER_SIZE / 2;
    reserve(2 * piece);
    used_ += translate_line_ends(text, piece, buffer_ + used_);
    text += piece;
    n -= piece;
  }
}

void Output::drain() {
  if (used_ > 0 && !failed_) failed_ = !sink_.write(buffer_, used_);
  used_ = 0;
}

bool Output::finish() {
  drain();
  return !failed_;
}
