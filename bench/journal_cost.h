#pragma once

namespace brevanto::bench {

// Microseconds a stand-in spends writing one journal line. It writes the line after taking its
// exit stamp, so in the journal this time looks like the caller's. Measured in this process on a
// stand-in viewer (registered, COM initialised), journal on against journal off; -1 on failure.
double JournalLineUs();

} // namespace brevanto::bench
