#include "builder/build_policies.h"

#include <cctype>
#include <sstream>

#include "package/upgrade_session.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "streams/kv_file_stream.h"

namespace builder {

namespace {

// One rule's policy field: a policy, or "-" for none.
bool ParseField(const std::string& text, int* value) {
  if (text == "-") {
    *value = -1;
    return true;
  }
  package::Policy policy = package::Policy::kIgnore;
  if (!ParsePolicy(text, &policy)) return false;
  *value = static_cast<int>(policy);
  return true;
}

constexpr std::uint32_t kLineCapacity = 1024;

}  // namespace

EntryPolicies DefaultPolicies(package::Operation operation) {
  return EntryPolicies{package::Policy::kAsk, operation == package::Operation::kRemove
                                                  ? package::Policy::kIgnore
                                                  : package::Policy::kCritical};
}

bool ParsePolicy(const std::string& text, package::Policy* policy) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "ignore" || lower == "0") {
    *policy = package::Policy::kIgnore;
  } else if (lower == "ask" || lower == "1") {
    *policy = package::Policy::kAsk;
  } else if (lower == "critical" || lower == "2") {
    *policy = package::Policy::kCritical;
  } else {
    return false;
  }
  return true;
}

bool GlobMatches(const char* glob, const char* path) {
  if (*glob == 0) return *path == 0;
  if (glob[0] == '*' && glob[1] == '*') {
    // "**/" also matches no folder at all.
    const char* rest = glob + 2;
    if (platform::IsPathSeparator(*rest) && GlobMatches(rest + 1, path)) return true;
    for (const char* p = path;; ++p) {
      if (GlobMatches(rest, p)) return true;
      if (*p == 0) return false;
    }
  }
  if (*glob == '*') {
    for (const char* p = path;; ++p) {
      if (GlobMatches(glob + 1, p)) return true;
      if (*p == 0 || platform::IsPathSeparator(*p)) return false;
    }
  }
  if (*path == 0) return false;
  if (*glob == '?') return !platform::IsPathSeparator(*path) && GlobMatches(glob + 1, path + 1);
  const bool same =
      platform::IsPathSeparator(*glob) ? platform::IsPathSeparator(*path) : *glob == *path;
  return same && GlobMatches(glob + 1, path + 1);
}

bool PolicyRules::Load(const std::string& path, std::string* problem) {
  streams::TKVFStream file(platform::kOpenRead | platform::kShareRead, path.c_str());
  if (!file.IsOpen()) {
    *problem = path + ": cannot read the policy file";
    return false;
  }
  const std::uint32_t size = file.GetSize();
  char line[kLineCapacity];
  for (int number = 1; file.GetPosition() < size; ++number) {
    const int length = file.ReadLine(line, sizeof line);
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (length >= static_cast<int>(sizeof line)) {
      *problem = where + "the line is too long";
      return false;
    }
    std::istringstream words(line);
    std::string glob;
    std::string warning;
    std::string error;
    std::string extra;
    if (!(words >> glob) || glob[0] == '#') continue;
    PolicyRule rule{glob, -1, -1};
    if (!(words >> warning >> error) || (words >> extra) || !ParseField(warning, &rule.warning) ||
        !ParseField(error, &rule.error)) {
      *problem = where + "expected GLOB WARNING ERROR, each policy ignore, ask, critical or -";
      return false;
    }
    // People write the file as they write any text of their system; the
    // names it matches are package text.
    if (!platform::SystemTextToPackageText(glob, &rule.glob)) {
      *problem = where + "the pattern has characters that code page " +
                 std::to_string(platform::PackageCodePage()) + " cannot write";
      return false;
    }
    rules_.push_back(rule);
  }
  return true;
}

void PolicyRules::Apply(const std::string& name, EntryPolicies* policies) const {
  for (const PolicyRule& rule : rules_) {
    if (!GlobMatches(rule.glob.c_str(), name.c_str())) continue;
    if (rule.warning >= 0) policies->warning = static_cast<package::Policy>(rule.warning);
    if (rule.error >= 0) policies->error = static_cast<package::Policy>(rule.error);
  }
}

}  // namespace builder
