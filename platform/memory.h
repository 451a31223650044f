// Memory blocks for the memory streams. On Windows these are moveable global
// memory blocks, locked for their whole life; the block is found again from
// its address, so the caller keeps only the address.
#pragma once

#include <cstdint>

namespace platform {

// Null when the memory cannot be had.
void* AllocateBlock(std::uint32_t size);
// The block's new address, or null when it cannot grow; the old block then
// stays valid and unchanged.
void* ResizeBlock(void* block, std::uint32_t size);
void FreeBlock(void* block);

}  // namespace platform
