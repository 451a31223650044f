// Writes a package for the console tests whose folder check fails in an
// empty folder while its installation can still go on: it verifies a file
// the folder lacks (asking about it) and adds one file.
#include <cstdio>

#include "builder/delta_writer.h"
#include "builder/package_writer.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"

using namespace package;
using namespace builder;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_lenient_package PACKAGE\n");
    return 2;
  }
  PackageWriter writer;
  writer.SetTitle("Lenient");
  PackageEntrySpec verify;
  verify.operation = Operation::kVerify;
  verify.errorPolicy = Policy::kAsk;
  verify.fileName = "expected.txt";
  verify.oldStamp.size = 5;
  writer.AddEntry(verify);
  PackageEntrySpec add;
  add.operation = Operation::kAdd;
  add.fileName = "added.txt";
  const std::uint8_t text[] = {'a', 'd', 'd', 'e', 'd'};
  DeltaWriter delta;
  delta.Insert(text, sizeof text);
  delta.End();
  add.delta = delta.bytes();
  add.newStamp.dosDate = (45u << 9) | (1u << 5) | 1u;
  add.newStamp.size = 5;
  add.newStamp.checksum = FoldChecksumBlock(0, text, sizeof text);
  writer.AddEntry(add);
  return writer.WriteFile(argv[1], false) ? 0 : 1;
}
