#pragma once

#include "scenario.h"

#include <oaidl.h>

#include <string>

namespace brevanto::standin {

// Makes a member call fail the way the test asked: an automation exception (described now or
// on demand through the deferred fill-in) or a bare HRESULT. Returns what Invoke returns.
HRESULT RaiseFailure(const Failure& failure, EXCEPINFO* exception);

// The journal field for that failure.
std::string RaisedField(const Failure& failure);

} // namespace brevanto::standin
