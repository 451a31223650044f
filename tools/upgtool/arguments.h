// Splits a command's arguments into known options and operands.
#pragma once

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

struct Arguments {
  std::set<std::string> options;
  std::vector<std::string> operands;

  bool Has(const char* option) const { return options.count(option) != 0; }
};

// False when an argument starting with "--" is not one of `allowed`.
bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    Arguments* out);
