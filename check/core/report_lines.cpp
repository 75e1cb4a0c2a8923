#include "check/core/report_lines.h"

#include <algorithm>

#include "check/core/text_escape.h"

namespace brevanto::check {
namespace {

constexpr std::size_t kLabelWidth = 30;

} // namespace

void ReportLines::Heading(const std::wstring& text) {
    if (!text_.empty())
        text_ += L"\r\n";
    text_ += DisplaySafe(text) + L"\r\n";
}

void ReportLines::Row(const std::wstring& label, const std::wstring& value) {
    std::wstring line = L"  " + DisplaySafe(label);
    line.resize(std::max(line.size() + 1, kLabelWidth + 2), L' ');
    text_ += line + DisplaySafe(value) + L"\r\n";
}

void ReportLines::Line(const std::wstring& text) {
    text_ += L"  " + DisplaySafe(text) + L"\r\n";
}

} // namespace brevanto::check
