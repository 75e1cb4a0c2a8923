#pragma once

#include <string>

namespace brevanto::check {

// The text report's lines. Every text given to it is shown display-safe (check/core/text_escape.h):
// a section of the report cannot print a stored value, a path or a component's message raw.
class ReportLines {
public:
    void Heading(const std::wstring& text);
    // "  Label                         value", the values of a section in one column.
    void Row(const std::wstring& label, const std::wstring& value);
    void Line(const std::wstring& text);
    const std::wstring& Text() const { return text_; }

private:
    std::wstring text_;
};

} // namespace brevanto::check
