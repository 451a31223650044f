#include "tools/upgtool/arguments.h"

namespace {

bool Listed(std::initializer_list<const char*> names, const std::string& name) {
  for (const char* listed : names) {
    if (name == listed) return true;
  }
  return false;
}

}  // namespace

std::string Arguments::Value(const char* option, const char* fallback) const {
  const auto found = values.find(option);
  return found == values.end() ? fallback : found->second;
}

bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    Arguments* out) {
  return ParseArguments(argc, argv, allowed, {}, out);
}

bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    std::initializer_list<const char*> withValue, Arguments* out) {
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::string::size_type equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos &&
        Listed(withValue, argument.substr(0, equals))) {
      out->values[argument.substr(0, equals)] = argument.substr(equals + 1);
      continue;
    }
    if (Listed(withValue, argument)) {
      if (i + 1 == argc) return false;
      out->values[argument] = argv[++i];
      continue;
    }
    if (argument.compare(0, 2, "--") != 0 || argument.size() == 2) {
      out->operands.push_back(argument);
      continue;
    }
    if (!Listed(allowed, argument)) return false;
    out->options.insert(argument);
  }
  return true;
}
