#include "table/cp932.h"

#include <algorithm>
#include <iterator>

#include "table/cp932_data.inc"

namespace {

uint16_t look_up(const Cp932Pair* begin, const Cp932Pair* end, uint32_t key) {
  if (key > 0xFFFF) return 0;
  const Cp932Pair* at = std::lower_bound(
      begin, end, key, [](const Cp932Pair& p, uint32_t k) { return p.from < k; });
  return at != end && at->from == key ? at->to : 0;
}

}  // namespace

uint32_t cp932_to_unicode(uint16_t code) {
  return look_up(std::begin(CP932_DECODE), std::end(CP932_DECODE), code);
}

uint16_t cp932_from_unicode(uint32_t cp) {
  return look_up(std::begin(CP932_ENCODE), std::end(CP932_ENCODE), cp);
}

const Cp932Pair* cp932_decode_pairs(size_t* count) {
  *count = std::size(CP932_DECODE);
  return CP932_DECODE;
}

const Cp932Pair* cp932_encode_pairs(size_t* count) {
  *count = std::size(CP932_ENCODE);
  return CP932_ENCODE;
}
