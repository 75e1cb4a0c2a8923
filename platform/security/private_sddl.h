#pragma once

#include <string>
#include <string_view>

namespace brevanto {

// What a private descriptor is for: a file, or a folder whose entries what is made in it inherits.
enum class PrivateTo { File, Folder };

// The security descriptor, as SDDL, that keeps a file or folder to one account: full control for
// that account (its SID as text, "S-1-5-21-..."), SYSTEM and Administrators, nothing for anyone
// else, and nothing inherited from the folder above (a protected DACL). A crash dump holds what
// the components hold, the password they were handed included. Empty when there is no SID.
std::wstring PrivateSddl(std::wstring_view userSid, PrivateTo kind);

} // namespace brevanto
