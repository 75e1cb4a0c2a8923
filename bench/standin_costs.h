#pragma once

namespace brevanto::bench {

// The caller's costs of calls on a stand-in viewer, measured in this process (stand-ins
// registered, COM initialised); microseconds, -1 on failure.

// One journal line a stand-in writes. It writes the line after taking its exit stamp, so in the
// journal this time looks like the caller's. Journal on against journal off.
double JournalLineUs();

// One member look-up (GetIDsOfNames).
double MemberLookUpUs();

// Creating the viewer by class name (CLSIDFromProgID, CoCreateInstance) and releasing it, the
// stand-in's constructor being trivial.
double ObjectCreationUs();

} // namespace brevanto::bench
