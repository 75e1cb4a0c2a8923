#pragma once

#include "crash_kind.h"

#include <string_view>

namespace brevanto::standin {

// Journals a crash line for object.member (how=..., where=call|timer|create), then crashes the
// calling thread the way a faulty component does. No handler of the stand-ins takes it.
// Recurses until the calling thread's stack overflows; returns only where a handler of the
// caller's resumed after the overflow.
void RecurseUntilTheStackOverflows();

[[noreturn]] void CrashNow(CrashKind kind, std::string_view object, std::string_view member,
                           std::string_view where);

} // namespace brevanto::standin
