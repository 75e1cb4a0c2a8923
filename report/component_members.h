#pragma once

#include <string_view>

namespace brevanto {

// Every member the report job and the Test action call on each component, by name.
inline constexpr std::wstring_view kUserMembers[] = {L"SetExePath", L"PasswordDeptCode",
                                                     L"LoginUser", L"ZELTARClasses"};
inline constexpr std::wstring_view kViewerMembers[] = {
    L"zeltarUser", L"setexportpath", L"SetDLLVer", L"Requestnum",  L"AutoPrint",
    L"viewmode",   L"loadviewer",    L"Export",    L"Show_Results"};
// Reached only through the user component's ZELTARClasses, a get.
inline constexpr std::wstring_view kReportClassesMembers[] = {
    L"PDFPrintMode", L"ExportFileName", L"ExportFilePath", L"directprint", L"OpenMainReport"};

} // namespace brevanto
