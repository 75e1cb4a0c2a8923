#pragma once

#include <cstdint>
#include <string_view>

namespace brevanto {

// Learns, at start-up, which device each drive letter stands for, so that a module can later be
// named without the loader lock or the heap.
void PrepareModuleNaming();

// The image a code address lies in.
struct ModuleAt {
    std::wstring_view path;    // its file, C:\...; empty when the address is in no image
    std::uintptr_t offset = 0; // of the address from the image's start
};

// The image holding the address: the allocation base of the image region VirtualQuery finds
// there, and the file the system mapped it from (K32GetMappedFileNameW), named as a person knows
// it. Neither takes the loader lock, as GetModuleHandleEx and GetModuleFileName do, and nothing
// is allocated: a crash inside a DLL's DllMain, or inside a corrupted heap, holds those locks.
// The path lives in a buffer the next call overwrites; call it from one thread only.
ModuleAt ModuleHolding(const void* address);

} // namespace brevanto
