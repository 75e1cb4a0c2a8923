#pragma once

#include <string>

namespace brevanto::check {

// The folder a virtualised write to the folder lands in: the user's
// <LocalAppData>\VirtualStore, followed by the path without its drive ("C:\Program Files\X" gives
// "...\VirtualStore\Program Files\X"). Empty for a path without a drive letter.
std::wstring VirtualStoreFolder(const std::wstring& localAppData, const std::wstring& path);

} // namespace brevanto::check
