#include <cstdio>

#include "tools/upgtool/commands.h"

namespace upgtool {

int UsageError(const char* usage) {
  std::fprintf(stderr, "usage: upgtool %s\n", usage);
  return 2;
}

}  // namespace upgtool
