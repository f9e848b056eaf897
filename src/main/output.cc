#include "main/output.h"

void Output::write(const char* text, size_t n) {
  // Translate in pieces that can at most double in size.
  while (n > 0) {
    const size_t piece = n < MAX_CLAIM / 2 ? n : MAX_CLAIM / 2;
    uint8_t* dest = claim(2 * piece);
    commit(dest + translate_line_ends(text, piece, dest));
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
