#pragma once

namespace brevanto::standin {

class DispatchObject;

// The logged-in user of the reporting package; it hands out that user's report classes.
DispatchObject* NewUser();

} // namespace brevanto::standin
