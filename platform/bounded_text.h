// The one way text goes into a fixed buffer. Each call reports whether the
// whole text fit; when it did not, the buffer holds as much as fit and its
// terminator. Callers that name files must refuse a text that did not fit:
// a cut path can name another file.
#pragma once

#include <cstddef>

namespace platform {

bool CopyText(char* buffer, std::size_t capacity, const char* text);
bool AppendText(char* buffer, std::size_t capacity, const char* text);

template <std::size_t N>
bool CopyText(char (&buffer)[N], const char* text) {
  return CopyText(buffer, N, text);
}

template <std::size_t N>
bool AppendText(char (&buffer)[N], const char* text) {
  return AppendText(buffer, N, text);
}

}  // namespace platform
