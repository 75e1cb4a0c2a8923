#include "report/run_log.h"

#include "report/display_text.h"
#include "report/part_number.h"

namespace brevanto {

std::wstring LogLine(std::int16_t part, std::wstring_view message) {
    std::wstring line = L" " + PartNumberText(part) + L" ";
    line += ForDisplay(message);
    line += L"\r\n";
    return line;
}

void WriteLog(JobWindow& window, const std::wstring& message) {
    // The part is read now, so the line shows the part the job entered last.
    window.SetLogText(window.LogText() + LogLine(window.State().CurrentPart, message));
    window.DoEvents();
}

} // namespace brevanto
