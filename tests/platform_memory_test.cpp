#include <gtest/gtest.h>

#include <cstdint>

#include "platform/memory.h"

namespace {

bool HoldsPattern(const void* block, std::uint32_t size, std::uint8_t seed) {
  const auto* bytes = static_cast<const std::uint8_t*>(block);
  for (std::uint32_t i = 0; i < size; ++i) {
    if (bytes[i] != static_cast<std::uint8_t>(seed + i * 7)) return false;
  }
  return true;
}

void FillPattern(void* block, std::uint32_t size, std::uint8_t seed) {
  auto* bytes = static_cast<std::uint8_t*>(block);
  for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
}

TEST(PlatformMemory, GrowingKeepsTheContents) {
  void* block = platform::AllocateBlock(50);
  ASSERT_NE(block, nullptr);
  FillPattern(block, 50, 3);
  // Steps like a memory stream's: 50, then 100, then a large jump that
  // cannot stay in place.
  for (std::uint32_t size : {100u, 200u, 1u << 20}) {
    void* grown = platform::ResizeBlock(block, size);
    ASSERT_NE(grown, nullptr) << size;
    block = grown;
    EXPECT_TRUE(HoldsPattern(block, 50, 3)) << size;
    static_cast<std::uint8_t*>(block)[size - 1] = 0x5A;  // the whole new size is usable
  }
  void* shrunk = platform::ResizeBlock(block, 20);
  ASSERT_NE(shrunk, nullptr);
  EXPECT_TRUE(HoldsPattern(shrunk, 20, 3));
  platform::FreeBlock(shrunk);
}

TEST(PlatformMemory, BlocksAreIndependentAndEmptyOnesExist) {
  void* first = platform::AllocateBlock(64);
  void* second = platform::AllocateBlock(64);
  void* empty = platform::AllocateBlock(0);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(empty, nullptr) << "an empty block is still a block that can grow";
  FillPattern(first, 64, 1);
  FillPattern(second, 64, 2);
  void* grownEmpty = platform::ResizeBlock(empty, 64);
  ASSERT_NE(grownEmpty, nullptr);
  FillPattern(grownEmpty, 64, 9);
  EXPECT_TRUE(HoldsPattern(first, 64, 1));
  EXPECT_TRUE(HoldsPattern(second, 64, 2));
  platform::FreeBlock(first);
  platform::FreeBlock(second);
  platform::FreeBlock(grownEmpty);
  platform::FreeBlock(nullptr);
}

}  // namespace
