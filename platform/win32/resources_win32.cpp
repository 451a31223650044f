#include "platform/resources.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

bool FindData(ModuleInstance instance, LPCSTR name, const unsigned char** data,
              std::uint32_t* size) {
  // To the system a null module means the program itself; here it means no
  // module at all, as on POSIX.
  if (instance == nullptr) return false;
  const HMODULE module = static_cast<HMODULE>(instance);
  const HRSRC found = ::FindResourceA(module, name, RT_RCDATA);
  if (found == nullptr) return false;
  const HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) return false;
  const void* bytes = ::LockResource(loaded);
  if (bytes == nullptr) return false;
  *data = static_cast<const unsigned char*>(bytes);
  *size = ::SizeofResource(module, found);
  return true;
}

}  // namespace

ModuleInstance ProgramInstance() { return ::GetModuleHandleA(nullptr); }

bool FindDataResource(ModuleInstance instance, int id, const unsigned char** data,
                      std::uint32_t* size) {
  return FindData(instance, MAKEINTRESOURCEA(id), data, size);
}

bool FindDataResource(ModuleInstance instance, const char* name, const unsigned char** data,
                      std::uint32_t* size) {
  return FindData(instance, name, data, size);
}

}  // namespace platform
