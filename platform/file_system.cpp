#include "platform/file_system.h"

namespace platform {
namespace {

FileSystem* installed = nullptr;

}  // namespace

FileSystem& Fs() { return installed != nullptr ? *installed : NativeFs(); }

void InstallFileSystem(FileSystem* replacement) { installed = replacement; }

}  // namespace platform
