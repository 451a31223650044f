#include "package/ui_strings.h"

#include <cstring>

#include "platform/resources.h"
#include "streams/kv_memory_streams.h"

namespace package {

namespace {

constexpr char kEmptyLine[] = "-|-|-|";
constexpr char kFallbackText[] = "N/A";
constexpr char kFallbackResourceName[] = "UPGAPPLYUI";

}  // namespace

UiStrings::UiStrings(platform::ModuleInstance instance, int resourceId) {
  const unsigned char* data = nullptr;
  std::uint32_t size = 0;
  if (platform::FindDataResource(instance, resourceId, &data, &size) ||
      platform::FindDataResource(instance, kFallbackResourceName, &data, &size)) {
    streams::TKVFlatRamStream resource(data, size);
    Parse(resource);
    return;
  }
  streams::TKVFlatRamStream fallback(kFallbackText, 3);
  Parse(fallback);
}

UiStrings::UiStrings(streams::TKVStream& stream) { Parse(stream); }

void UiStrings::Parse(streams::TKVStream& stream) {
  buffer_.reset(new char[kUiStringLines * kUiStringLineCapacity]());
  stream.Rewind();
  char* write = buffer_.get();
  for (int i = 0; i < kUiStringLines; ++i) {
    stream.ReadLine(write, kUiStringLineCapacity);
    if (*write == 0) std::memcpy(write, kEmptyLine, sizeof kEmptyLine);
    lines_[i] = write;
    const std::size_t length = std::strlen(write);
    if (i == 1 || i == 2) {
      for (std::size_t k = 0; k < length; ++k) {
        if (write[k] == '|') write[k] = 0;
      }
    }
    write += length + 1;
  }
}

const char* UiStrings::GetListItem(UiLine line, int item) const {
  const char* text = GetString(line);
  for (int k = 0; k < item; ++k) text += std::strlen(text) + 1;
  return text;
}

}  // namespace package
