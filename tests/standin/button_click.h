#pragma once

#include "scenario.h"

namespace brevanto::standin {

// Posts a click to a button of the launcher's own window, as a user would click it while the
// component is busy. The click is served the next time the launcher's thread reads messages.
// Returns false if no such button exists.
bool PostButtonClick(ClickTarget target);

} // namespace brevanto::standin
