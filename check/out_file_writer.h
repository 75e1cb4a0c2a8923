#pragma once

#include <string>

namespace brevanto::check {

// Writes the report's bytes (UTF-8 without a byte order mark, which strict JSON readers refuse)
// into the file --out names, never through a link a standard user could plant: the file is opened
// without truncating it and without following a reparse point, refused unless OutFileRefusal allows
// it (and, when it was made here, deleted again), and only then truncated and written. Empty when
// written; else why not, as the report says it.
std::wstring WriteOutFile(const std::wstring& path, const std::string& bytes);

} // namespace brevanto::check
