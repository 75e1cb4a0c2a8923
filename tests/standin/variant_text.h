#pragma once

#include <oaidl.h>

#include <string>

namespace brevanto::standin {

// The journal spelling of one argument, naming objects of this DLL by their kind.
std::string DescribeForJournal(const VARIANT& value);

} // namespace brevanto::standin
