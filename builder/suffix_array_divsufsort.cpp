#include <divsufsort.h>

#include <new>

#include "builder/suffix_array.h"

namespace builder {

bool CanSortSuffixes() { return true; }

std::unique_ptr<std::int32_t[]> SortSuffixes(const std::uint8_t* bytes, std::uint32_t size) {
  if (size >= 0x80000000u) return nullptr;
  std::unique_ptr<std::int32_t[]> order(new (std::nothrow) std::int32_t[size == 0 ? 1 : size]);
  if (!order) return nullptr;
  if (size > 0 && divsufsort(bytes, order.get(), static_cast<saidx_t>(size)) != 0) return nullptr;
  return order;
}

}  // namespace builder
