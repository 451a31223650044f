#include "platform/copy_out.h"

#include <cstring>

namespace platform {

bool CopyOut(const char* text, char* buffer, std::uint32_t capacity) {
  const std::size_t length = std::strlen(text);
  if (length >= capacity) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}

}  // namespace platform
