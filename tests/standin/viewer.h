#pragma once

namespace brevanto::standin {

class DispatchObject;

// The lab result viewer, which shows or exports results for a user.
DispatchObject* NewViewer();

} // namespace brevanto::standin
