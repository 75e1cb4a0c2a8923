#pragma once

#include <string>

#include "bench/samples.h"

namespace brevanto::bench {

// Where the programs are: the driver's own folder holds Brevanto.exe, the stand-ins, the floor
// program and the peer script.
struct BenchPaths {
    std::wstring folder;
    std::wstring cscript;  // Wine's 64-bit cscript.exe
    std::wstring brevanto; // the Brevanto.exe measured, run from the folder
};

// One unattended run of Brevanto.exe against the stand-ins, until it ends by itself.
void RunBrevanto(const BenchPaths& paths, BenchSamples& samples, bool keep);
// What the floor program adds to its window, each something Brevanto.exe cannot do without.
enum class FloorWith {
    Nothing,
    Thread,  // one waiting thread more, as the exit guard's
    Controls // Brevanto's controls, version 6 and themed, under the same manifest
};

// One run of the floor program: a window shown, gone 100 ms later.
void RunFloor(const BenchPaths& paths, BenchSamples& samples, bool keep,
              FloorWith with = FloorWith::Nothing);
// One run of the peer script under cscript against the same stand-ins.
void RunPeer(const BenchPaths& paths, BenchSamples& samples, bool keep);
// One run of the workstation check, its report thrown away.
void RunCheck(const BenchPaths& paths, BenchSamples& samples, bool keep);

} // namespace brevanto::bench
