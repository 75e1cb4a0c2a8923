#pragma once

#include <string_view>

namespace brevanto::check {

// The body of a creation process (brevanto-check --create-class <ProgID>): creates the class as
// Brevanto.exe creates it, looks up every member Brevanto calls on it, releases it and ends OLE,
// reporting each step on the standard output as it happens (check/core/creation_protocol.h). The
// process has the host world of Brevanto.exe: crash handling installed first, OLE started on the
// thread, each entry into the component a ComponentCall. Returns the process's exit status.
int RunClassCreation(std::wstring_view progId);

} // namespace brevanto::check
