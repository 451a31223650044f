#include <memory>
#include <vector>

#include "platform/private_file.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

// The current user's security identifier, inside `buffer`.
PSID CurrentUser(std::vector<BYTE>* buffer) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  const std::unique_ptr<void, HandleCloser> owned(token);
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  if (size == 0) return nullptr;
  buffer->resize(size);
  if (!::GetTokenInformation(token, TokenUser, buffer->data(), size, &size)) return nullptr;
  return reinterpret_cast<TOKEN_USER*>(buffer->data())->User.Sid;
}

}  // namespace

FileHandle CreatePrivateFile(const char* path) {
  std::vector<BYTE> userBuffer;
  const PSID user = CurrentUser(&userBuffer);
  if (user == nullptr) return kInvalidFile;
  const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(user);
  std::vector<BYTE> aclBuffer(aclSize);
  ACL* acl = reinterpret_cast<ACL*>(aclBuffer.data());
  SECURITY_DESCRIPTOR descriptor;
  if (!::InitializeAcl(acl, aclSize, ACL_REVISION) ||
      !::AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, user) ||
      !::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
      !::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    return kInvalidFile;
  }
  SECURITY_ATTRIBUTES attributes{};
  attributes.nLength = sizeof attributes;
  attributes.lpSecurityDescriptor = &descriptor;
  const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? kInvalidFile : reinterpret_cast<FileHandle>(file);
}

}  // namespace platform
