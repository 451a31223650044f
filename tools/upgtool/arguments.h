// Splits a command's arguments into known options and operands.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace upgtool {

struct Arguments {
  std::set<std::string> options;
  // Options that take a value, by name; given twice, the last one counts.
  std::map<std::string, std::string> values;
  std::vector<std::string> operands;

  bool Has(const char* option) const { return options.count(option) != 0; }
  bool HasValue(const char* option) const { return values.count(option) != 0; }
  // The option's value, or `fallback` when it was not given.
  std::string Value(const char* option, const char* fallback = "") const;
};

// False when an argument starting with "--" is not one of `allowed`.
bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    Arguments* out);
// As above, and the options in `withValue` take the next argument as their
// value ("-o FILE", "--title TEXT"; "--title=TEXT" works too). False also
// when such an option is last and has no value.
bool ParseArguments(int argc, char** argv, std::initializer_list<const char*> allowed,
                    std::initializer_list<const char*> withValue, Arguments* out);

// Takes "--codepage N" (or "--codepage=N"), wherever it stands, out of a
// command's arguments and selects that code page, then writes every other
// argument in the package code page, as Windows hands a program its
// arguments in the ANSI code page. False, with `problem` set, for a code
// page that cannot be used or an argument that it cannot write.
bool ArgumentsInCodePage(int argc, char** argv, std::vector<std::string>* arguments,
                         std::string* problem);

}  // namespace upgtool
