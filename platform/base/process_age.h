#pragma once

namespace brevanto {

// Milliseconds since the process started.
unsigned long long ProcessAgeMs();

} // namespace brevanto
