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

TEST(OutputTest, FastPathMixesWithTranslatedWrites) {
  MemorySink sink;
  Output out(sink);
  const uint8_t cell[4] = {0x82, 0xA0, 0x0D, 0x0A};
  std::string expected;
  for (size_t i = 0; i < Output::BUFFER_SIZE; ++i) {
    out.reserve(4);
    out.put_translated(cell, i % 2 ? 4 : 2);
    expected += i % 2 ? "\x82\xA0\r\n" : "\x82\xA0";
    if (i % 1000 == 0) {
      out.write("\n");
      expected += "\r\n";
    }
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
