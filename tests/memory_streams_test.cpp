#include <gtest/gtest.h>

#include "streams/kv_memory_streams.h"

using namespace streams;

namespace {

TEST(FlatRamStream, ReadsCallerMemoryAndStopsAtItsSize) {
  std::uint8_t memory[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  TKVFlatRamStream stream(memory, 10, 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(stream.ReadByte(), i);
  EXPECT_EQ(stream.Error(), 0);
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_NE(stream.Error(), 0);
  EXPECT_EQ(stream.Rewind(), 1);
  EXPECT_EQ(stream.Error(), 0);
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_EQ(stream.ReadByte(), 1);

  EXPECT_EQ(stream.Seek(10), 1);
  EXPECT_EQ(stream.Seek(11), 0);
  EXPECT_EQ(stream.Error(), 0);
  EXPECT_EQ(stream.GetPosition(), 10u);
  stream.WriteByte(1);  // capacity 10 and no growth
  EXPECT_NE(stream.Error(), 0);
  EXPECT_EQ(stream.GetSize(), 10u);
}

TEST(FlatRamStream, GrowsByItsStep) {
  TKVFlatRamStream jump(50, 100);
  for (int i = 0; i < 50; ++i) jump.WriteByte(static_cast<std::uint8_t>(i));
  EXPECT_EQ(jump.capacity(), 50u);
  jump.WriteByte(50);
  EXPECT_EQ(jump.capacity(), 100u);  // below the step: jumps to it
  for (int i = 51; i < 100; ++i) jump.WriteByte(static_cast<std::uint8_t>(i));
  EXPECT_EQ(jump.capacity(), 100u);
  jump.WriteByte(100);
  EXPECT_EQ(jump.capacity(), 200u);
  for (int i = 0; i <= 100; ++i) EXPECT_EQ(jump.data()[i], i);

  TKVFlatRamStream step(150, 100);
  for (int i = 0; i < 151; ++i) step.WriteByte(1);
  EXPECT_EQ(step.capacity(), 250u);
  EXPECT_EQ(step.Error(), 0);
}

TEST(FlatRamStream, OverwritesInPlaceAndClearsKeepingMemory) {
  TKVFlatRamStream stream(8, 0);
  for (std::uint8_t b : {'a', 'b', 'c', 'd', 'e'}) stream.WriteByte(b);
  stream.Seek(2);
  stream.WriteByte('X');
  EXPECT_EQ(stream.GetSize(), 5u);
  EXPECT_EQ(stream.data()[2], 'X');
  stream.Clear();
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.capacity(), 8u);
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_NE(stream.Error(), 0);
}

TEST(FlatRamStream, WithoutMemoryEverythingFails) {
  TKVFlatRamStream stream;
  stream.WriteByte(1);
  EXPECT_NE(stream.Error(), 0);
  stream.Rewind();
  EXPECT_EQ(stream.ReadByte(), 0);
  EXPECT_NE(stream.Error(), 0);
}

TEST(FlatRamStream, ReadOnlyMemoryRefusesWrites) {
  static const char kText[] = "abc";
  TKVFlatRamStream stream(kText, 3);
  stream.WriteByte('z');
  EXPECT_NE(stream.Error(), 0);
  EXPECT_STREQ(kText, "abc");
}

TEST(SizerStream, CountsWithoutKeeping) {
  TKVSizerStream sizer;
  for (int i = 0; i < 1000; ++i) sizer.WriteByte(0xFF);
  EXPECT_EQ(sizer.GetSize(), 1000u);
  EXPECT_EQ(sizer.GetPosition(), 1000u);
  EXPECT_EQ(sizer.Seek(10), 1);
  EXPECT_EQ(sizer.GetPosition(), 10u);
  EXPECT_EQ(sizer.Seek(1001), 0);
  EXPECT_EQ(sizer.GetPosition(), 10u);
  sizer.ZeroFill(5);
  EXPECT_EQ(sizer.GetSize(), 5u);
  EXPECT_EQ(sizer.GetPosition(), 0u);
}

}  // namespace
