#include "report/test_action.h"

#include <string>

#include "report/run_error.h"

namespace brevanto {

void RunTestReport(const WindowState& state) {
    // Held here so an exit timer or Cancel served inside a component call cannot pull it away.
    const ObjectRef user = state.User;
    if (!user)
        throw RunError(L"Test needs the user component, which the report job has not created.");

    const ObjectRef classes = user->Get(L"ZELTARClasses");
    classes->Put(L"ExportFileName", std::wstring(L"temp.pdf"));
    classes->Put(L"ExportFilePath", std::wstring(L"C:\\temp\\"));
    classes->Put(L"directprint", true);
    classes->Put(L"PDFPrintMode", std::int16_t{1});
    classes->Call(L"OpenMainReport",
                  {std::wstring(L"testreport.rpt"), std::wstring(), std::wstring()});
}

} // namespace brevanto
