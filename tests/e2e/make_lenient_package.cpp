// Writes a package for the console tests whose folder check fails in an
// empty folder while its installation can still go on: it verifies a file
// the folder lacks (asking about it) and adds one file.
#include <cstdio>

#include "tests/support/package_file.h"
#include "tests/support/upgrade_fixture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_lenient_package PACKAGE\n");
    return 2;
  }
  PackageWriter writer;
  writer.SetTitle("Lenient");
  PackageEntrySpec verify = CheckEntry(Operation::kVerify, "expected.txt", MakeStamp(0, 0, 5, 0));
  verify.errorPolicy = Policy::kAsk;
  writer.AddEntry(verify);
  writer.AddEntry(NewFileEntry(Operation::kAdd, "added.txt", Bytes("added")));
  return writer.WriteFile(argv[1], false) ? 0 : 1;
}
