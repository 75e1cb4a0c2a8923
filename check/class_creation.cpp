#include "check/class_creation.h"

#include <windows.h>

#include "check/core/component_classes.h"
#include "check/core/creation_protocol.h"
#include "platform/base/utf8.h"
#include "platform/com/com_object.h"
#include "platform/com/ole_apartment.h"
#include "report/run_error.h"

namespace brevanto::check {
namespace {

constexpr int kDone = 0;
constexpr int kNotAClass = 2;

// Written at once, unbuffered: a crash in the next step must not lose the line.
void Report(CreationEvent event, std::wstring_view text = {}) {
    const std::string line = Utf8(CreationLine(event, text));
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
              &written, nullptr);
}

} // namespace

int RunClassCreation(std::wstring_view progId) {
    const ComponentClass* componentClass = FindComponentClass(progId);
    if (!componentClass)
        return kNotAClass;
    OleApartment ole;
    Report(CreationEvent::Create);
    ObjectRef object;
    if (!ole.Initialized()) {
        Report(CreationEvent::Failed, L"OLE could not be started");
    } else {
        try {
            ComFactory factory;
            object = factory.Create(progId);
            Report(CreationEvent::Created);
            Report(CreationEvent::Served, ServingModule(*object));
        } catch (const RunError& error) {
            Report(CreationEvent::Failed, error.Description());
        }
    }
    if (object) {
        for (const std::wstring_view member : componentClass->members) {
            Report(CreationEvent::LookUp, member);
            Report(object->Knows(member) ? CreationEvent::Resolves : CreationEvent::Missing,
                   member);
        }
    }
    Report(CreationEvent::Release);
    object.reset();
    ole.Uninitialize();
    Report(CreationEvent::Released);
    return kDone;
}

} // namespace brevanto::check
