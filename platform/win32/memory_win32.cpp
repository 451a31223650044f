// Moveable global memory, locked for the whole life of a block so that its
// address stays put; GlobalHandle finds the block again from that address.
#include "platform/memory.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

// A moveable block of size 0 is allocated discarded and cannot be locked.
SIZE_T AtLeastOneByte(std::uint32_t size) { return size == 0 ? 1 : size; }

}  // namespace

void* AllocateBlock(std::uint32_t size) {
  const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, AtLeastOneByte(size));
  if (block == nullptr) return nullptr;
  void* address = ::GlobalLock(block);
  if (address == nullptr) ::GlobalFree(block);
  return address;
}

void* ResizeBlock(void* address, std::uint32_t size) {
  const HGLOBAL block = ::GlobalHandle(address);
  if (block == nullptr) return nullptr;
  ::GlobalUnlock(block);
  const HGLOBAL grown = ::GlobalReAlloc(block, AtLeastOneByte(size), GMEM_MOVEABLE);
  if (grown == nullptr) {
    // The old block is untouched by a failed reallocation; locked again, it
    // is where it was, and the caller goes on using it.
    ::GlobalLock(block);
    return nullptr;
  }
  return ::GlobalLock(grown);
}

void FreeBlock(void* address) {
  if (address == nullptr) return;
  const HGLOBAL block = ::GlobalHandle(address);
  if (block == nullptr) return;
  ::GlobalUnlock(block);
  ::GlobalFree(block);
}

}  // namespace platform
