#include "platform/bounded_text.h"

#include <cstring>

namespace platform {

bool CopyText(char* buffer, std::size_t capacity, const char* text) {
  if (capacity == 0) return false;
  buffer[0] = 0;
  return AppendText(buffer, capacity, text);
}

bool AppendText(char* buffer, std::size_t capacity, const char* text) {
  if (capacity == 0) return false;
  std::size_t used = strnlen(buffer, capacity);
  if (used == capacity) {
    buffer[capacity - 1] = 0;
    return false;
  }
  for (; *text != 0; ++text) {
    if (used + 1 >= capacity) {
      buffer[used] = 0;
      return false;
    }
    buffer[used++] = *text;
  }
  buffer[used] = 0;
  return true;
}

}  // namespace platform
