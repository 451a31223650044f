#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>

#include "package/upgrade_session.h"

using namespace package;

std::uint32_t FuzzInput::Number(int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
  return value;
}

std::vector<std::uint8_t> FuzzInput::Take(std::size_t count) {
  const std::size_t left = size_ - at_;
  const std::size_t taken = count < left ? count : left;
  std::vector<std::uint8_t> bytes(data_ + at_, data_ + at_ + taken);
  at_ += taken;
  return bytes;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: broken promise: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

std::uint64_t DeclaredBytes(const UpgradeSession& session) {
  if (session.totalBytes == 0) return 0;
  std::uint64_t declared = 0;
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    declared += session.entries[i]->newStamp.size;
  }
  return declared;
}
