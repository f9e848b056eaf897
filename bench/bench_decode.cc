// Decode throughput on data in memory: the message region of a full-size
// text-like image, decoded with a table of mixed cells, output discarded.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "decode/decoder.h"
#include "image_maker.h"
#include "main/output.h"
#include "table/char_table.h"

namespace {

struct DiscardSink : OutputSink {
  size_t bytes = 0;
  bool write(const uint8_t*, size_t n) override {
    bytes += n;
    return true;
  }
};

void BM_DecodeRegion(benchmark::State& state) {
  const std::vector<uint8_t> region =
      testdata::text_like_region(REGION_READ_BYTES, static_cast<uint32_t>(state.range(0)));
  const std::vector<uint8_t> table_file = testdata::bench_table();
  CharTable table;
  load_char_table(table_file.data(), table_file.size(), table);
  DiscardSink sink;
  for (auto _ : state) {
    Output out(sink);
    benchmark::DoNotOptimize(decode_messages(region.data(), region.size(), table, out));
    out.finish();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(REGION_SIZE));
  state.counters["output_per_run"] =
      static_cast<double>(sink.bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DecodeRegion)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
