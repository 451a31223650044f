// The policies a built package gives its entries.
//
// Defaults make an upgrade all-or-nothing wherever a file cannot be brought
// to its new version, and ask where only the evidence is weaker:
//
//   operation   warning policy                     error policy
//   Add         Ask (the file is already there)    Critical
//   Update      Ask (only date and time differ)    Critical
//   Replace     Ask                                Critical
//   Verify      Ask (only date and time differ)    Critical
//   Remove      Ask (the file was changed)         Ignore (missing or read-only:
//                                                   nothing is lost by keeping it)
//
// `--warning` and `--error` set one policy for every entry; a policy file
// then sets exceptions, one rule a line:
//
//   # comment
//   GLOB  WARNING  ERROR
//
// WARNING and ERROR are ignore, ask or critical (or 0, 1, 2), or "-" to
// leave that policy as it is. GLOB matches the whole relative path: '/' and
// '\' are both separators, '*' matches within one path component, '**'
// across components, '?' one character of a component; case matters. When
// several rules match, the last one wins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/package_format.h"

namespace builder {

struct EntryPolicies {
  package::Policy warning;
  package::Policy error;
};

EntryPolicies DefaultPolicies(package::Operation operation);

// "ignore", "ask", "critical" in any case, or the digits 0 to 2.
bool ParsePolicy(const std::string& text, package::Policy* policy);

bool GlobMatches(const char* glob, const char* path);

struct PolicyRule {
  std::string glob;
  // -1: left as it is.
  int warning;
  int error;
};

class PolicyRules {
 public:
  // Adds the rules of a policy file. False with `problem` naming the file
  // and line when the file cannot be read or a line is not a rule.
  bool Load(const std::string& path, std::string* problem);
  void Add(const PolicyRule& rule) { rules_.push_back(rule); }
  // Applies every rule that matches `name`, in order.
  void Apply(const std::string& name, EntryPolicies* policies) const;

 private:
  std::vector<PolicyRule> rules_;
};

}  // namespace builder
