#include <cstdlib>

#include "platform/memory.h"

namespace platform {

void* AllocateBlock(std::uint32_t size) { return std::malloc(size == 0 ? 1 : size); }

void* ResizeBlock(void* block, std::uint32_t size) {
  return std::realloc(block, size == 0 ? 1 : size);
}

void FreeBlock(void* block) { std::free(block); }

}  // namespace platform
