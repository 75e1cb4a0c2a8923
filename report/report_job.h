#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/automation.h"
#include "report/job_window.h"
#include "report/settings_store.h"

namespace brevanto {

inline constexpr std::wstring_view kUserClass = L"ZELTAR_User.clsCurrentUser";
inline constexpr std::wstring_view kViewerClass = L"velmonic.labresultviewer";

// What the caption and the log box show when the job fails in a part.
std::wstring FailureCaption(std::wstring_view description, std::int16_t part);

// The program's one job: logs in through the user component, sets up the viewer from the stored
// settings, has it show the results and arms the exit timer. Every error stops the job and puts
// its description into the caption and the log box. If the window is unloaded while the job
// runs, the job stops at its next step without touching the window or the components again.
void GenerateReport(JobWindow& window, const SettingsStore& settings, AutomationFactory& factory,
                    const std::wstring& programDirectory);

} // namespace brevanto
