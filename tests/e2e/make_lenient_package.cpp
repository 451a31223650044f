// Writes a package for the console tests whose folder check fails in an
// empty folder while its installation can still go on: it verifies a file
// the folder lacks (asking about it) and adds one file. With "hostile" its
// title, description and names carry terminal escapes.
#include <cstdio>
#include <cstring>

#include "builder/delta_writer.h"
#include "builder/package_writer.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"

using namespace package;
using namespace builder;

int main(int argc, char** argv) {
  const bool hostile = argc == 3 && std::strcmp(argv[2], "hostile") == 0;
  if (argc != 2 && !hostile) {
    std::fprintf(stderr, "usage: make_lenient_package PACKAGE [hostile]\n");
    return 2;
  }
  PackageWriter writer;
  writer.SetTitle(hostile ? "Lenient\x1B]0;owned\x07" : "Lenient");
  if (hostile) writer.SetDescription("one\r\ntwo\x1B[1A\rthree");
  PackageEntrySpec verify;
  verify.operation = Operation::kVerify;
  verify.errorPolicy = Policy::kAsk;
  verify.fileName = hostile ? "expected\x1B[2J.txt" : "expected.txt";
  verify.oldStamp.size = 5;
  writer.AddEntry(verify);
  PackageEntrySpec add;
  add.operation = Operation::kAdd;
  add.fileName = hostile ? "added\x1B[31m.txt" : "added.txt";
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
