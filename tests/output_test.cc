#include "main/output.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

TEST(OutputTest, TranslatesEveryLineFeedAndNothingElse) {
  MemorySink sink;
  Output out(sink);
  const std::string text("a\nb\r\nc\n\n\x0D\x1A\x00z", 12);
  out.write(text.data(), text.size());
  EXPECT_TRUE(out.finish());
  EXPECT_EQ(sink.bytes, std::string("a\r\nb\r\r\nc\r\n\r\n\x0D\x1A\x00z", 16));
}

TEST(OutputTest, HoldsOutputUntilFinish) {
  MemorySink sink;
  Output out(sink);
  out.write("banner\n");
  EXPECT_EQ(sink.writes, 0);
  EXPECT_TRUE(out.finish());
  EXPECT_EQ(sink.bytes, "banner\r\n");
}

TEST(OutputTest, DeliversTextsLargerThanTheBufferWholeAndInOrder) {
  // Line feeds only: the translated text is twice the input, several buffers.
  std::string text(3 * Output::BUFFER_SIZE + 7, '\n');
  for (size_t i = 0; i < text.size(); i += 5) text[i] = static_cast<char>('a' + i % 26);
  MemorySink sink;
  Output out(sink);
  out.write(text.data(), text.size());
  EXPECT_TRUE(out.finish());
  EXPECT_EQ(sink.bytes, crlf(text));
  EXPECT_GT(sink.writes, 1);
}

TEST(OutputTest, ClaimedStretchesMixWithTranslatedWrites) {
  MemorySink sink;
  Output out(sink);
  std::string expected;
  for (size_t i = 0; i < 3 * Output::BUFFER_SIZE / 1000; ++i) {
    uint8_t* dest = out.claim(1000);
    for (size_t j = 0; j < 1000; ++j) dest[j] = static_cast<uint8_t>('a' + (i + j) % 26);
    // A fixed-size copy may run past what is kept.
    std::memset(dest + 1000, 'X', Output::SLACK);
    expected += bytes_of(dest, 1000);
    out.commit(dest + 1000);
    out.write("\n");
    expected += "\r\n";
  }
  EXPECT_TRUE(out.finish());
  EXPECT_EQ(sink.bytes, expected);
}

TEST(OutputTest, AFailedWriteIsReportedAtFinishAndNothingMoreIsWritten) {
  MemorySink sink;
  sink.fail_from_write = 0;
  Output out(sink);
  const std::string big(Output::BUFFER_SIZE, 'x');
  out.write(big.data(), big.size());
  out.write(big.data(), big.size());
  EXPECT_FALSE(out.finish());
  EXPECT_EQ(sink.writes, 1);
  EXPECT_TRUE(sink.bytes.empty());
}

TEST(OutputTest, AFailureAtTheLastDeliveryIsReported) {
  MemorySink sink;
  Output out(sink);
  out.write("text");
  sink.fail_from_write = 0;
  EXPECT_FALSE(out.finish());
}
