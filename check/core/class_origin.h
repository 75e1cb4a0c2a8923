#pragma once

#include "check/core/workstation_facts.h"

namespace brevanto::check {

// Where the registration Windows uses comes from, given whether a key of it came from the user's
// classes and whether the machine's classes alone register a server for the ProgID.
inline ClassOrigin OriginOf(bool fromUserClasses, bool machineRegistersServer) {
    if (!fromUserClasses)
        return ClassOrigin::Machine;
    return machineRegistersServer ? ClassOrigin::UserOverMachine : ClassOrigin::UserOnly;
}

} // namespace brevanto::check
