// Symbolic links for the tests, made and removed without the code under
// test. Where the system cannot make one here (Windows without the
// privilege, Wine's own calls), the caller skips what needs it.
#pragma once

#include <string>

// Makes `link` name `target`, a path relative to the link's folder. True
// when `link` is now a link (a reparse point on Windows).
bool MakeTestLink(const std::string& link, const std::string& target);

// Removes `folder` and everything below it, links themselves and never
// what they point to.
void RemoveTestTree(const std::string& folder);
