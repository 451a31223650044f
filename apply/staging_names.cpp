#include "apply/staging_names.h"

#include "streams/bounded_text.h"

namespace {

constexpr char kStagingFolder[] = "__KVUPD_";

}  // namespace

bool StagingFolderName(const char* targetFolder, char (&out)[kMaxPath]) {
  return CopyText(out, targetFolder) && AppendText(out, kStagingFolder);
}

bool TemporaryFileName(const char* targetFolder, std::int32_t index, char (&out)[kMaxPath]) {
  // Five digits with leading zeros: the table holds at most 10000 entries.
  char digits[6] = {};
  std::uint32_t value = static_cast<std::uint32_t>(index);
  for (int i = 4; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return value == 0 && StagingFolderName(targetFolder, out) && AppendText(out, "\\N") &&
         AppendText(out, digits) && AppendText(out, ".TMP");
}
