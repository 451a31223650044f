// Splits a command's arguments into known options and operands.
#pragma once

#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace upgtool {

struct Arguments {
  // Splits a command's arguments. Those starting with "--" (but "--"
  // itself) must be one of `flags` or `withValue`; the options in
  // `withValue` take the next argument as their value ("-o FILE", "--title
  // TEXT"; "--title=TEXT" works too) and, given twice, the last one counts.
  // Anything else is an operand.
  Arguments(int argc, char** argv, std::initializer_list<const char*> flags,
            std::initializer_list<const char*> withValue = {});

  // False when an option is none of the known ones, or one that takes a
  // value is last and has none.
  bool parsed = true;
  std::set<std::string> options;
  std::map<std::string, std::string> values;
  std::vector<std::string> operands;

  bool Has(const char* option) const { return options.count(option) != 0; }
  bool HasValue(const char* option) const { return values.count(option) != 0; }
  // The option's value, or `fallback` when it was not given.
  std::string Value(const char* option, const char* fallback = "") const;
};

// Takes "--codepage N" (or "--codepage=N"), wherever it stands, out of a
// command's arguments and selects that code page, then writes every other
// argument in the package code page, as Windows hands a program its
// arguments in the ANSI code page. False, with `problem` set, for a code
// page that cannot be used or an argument that it cannot write.
bool ArgumentsInCodePage(int argc, char** argv, std::vector<std::string>* arguments,
                         std::string* problem);

}  // namespace upgtool
