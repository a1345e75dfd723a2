// Whether a folder is the user's own to keep the program's files in: whether the program may write
// there, and whether only the user and the system can.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/access_list.h"
#include "platform/win32/application.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "product.h"

namespace promptella {
namespace {
std::string sidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(sid, &text)) return {};
  std::string out = narrow(text);
  LocalFree(text);
  return out;
}

// The user this program runs as.
std::string userSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  const UniqueHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return {};
  return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

}  // namespace

bool Win32Application::folderWritable(const std::string& folder) const {
  // A file that goes away when closed: nothing is left behind, whatever happens next.
  const std::wstring probe = widen(folder) + L"\\~" + std::wstring(kProductNameWide) + L"-" +
                             std::to_wstring(GetCurrentProcessId()) + L".probe";
  const UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr));
  return static_cast<bool>(file);
}

bool Win32Application::folderPrivate(const std::string& folder) const {
  PSID owner = nullptr;
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(widen(folder).c_str(), SE_FILE_OBJECT,
                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                            &list, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;  // unreadable: not known to be safe
  }
  std::vector<AccessEntry> entries;
  for (DWORD i = 0; list && i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(list, i, reinterpret_cast<void**>(&header))) return LocalFree(descriptor), false;
    const BYTE type = header->AceType;
    if (type != ACCESS_ALLOWED_ACE_TYPE && type != ACCESS_DENIED_ACE_TYPE) {
      const bool denies = type == ACCESS_DENIED_OBJECT_ACE_TYPE ||
                          type == ACCESS_DENIED_CALLBACK_ACE_TYPE ||
                          type == ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE;
      entries.push_back({denies ? AccessEntry::Kind::denies : AccessEntry::Kind::allowsOtherwise});
      continue;
    }
    // A plain allowing and a plain denying entry have the same layout.
    const auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    entries.push_back(
        {type == ACCESS_ALLOWED_ACE_TYPE ? AccessEntry::Kind::allows : AccessEntry::Kind::denies,
         sidText(const_cast<DWORD*>(&ace->SidStart)), ace->Mask,
         (header->AceFlags & INHERIT_ONLY_ACE) != 0, (header->AceFlags & OBJECT_INHERIT_ACE) != 0});
  }
  const bool hasList = list != nullptr;
  const std::string ownerSid = owner ? sidText(owner) : std::string();
  LocalFree(descriptor);
  return onlyTrustedCanWrite(ownerSid, entries, hasList, userSid());
}

}  // namespace promptella
