#include "tools/upgtool/arguments.h"

#include <cstring>

bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    Arguments* out) {
  for (int i = 0; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strncmp(argument, "--", 2) != 0 || argument[2] == 0) {
      out->operands.emplace_back(argument);
      continue;
    }
    bool known = false;
    for (const char* option : allowed) known = known || std::strcmp(option, argument) == 0;
    if (!known) return false;
    out->options.insert(argument);
  }
  return true;
}
