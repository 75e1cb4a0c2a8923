#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "check/core/text_escape.h"

namespace brevanto::check {

// A JSON string of any text: plain ASCII, every character that needs it escaped.
inline std::string Str(std::wstring_view text) {
    return JsonString(text);
}

inline std::string Bool(bool value) {
    return value ? "true" : "false";
}

// Builds one object's members, comma-separated. A member's value is JSON already: a text goes
// through Str.
class Members {
public:
    Members& Add(const char* name, const std::string& json) {
        text_ += text_.empty() ? "\"" : ",\"";
        text_ += name;
        text_ += "\":";
        text_ += json;
        return *this;
    }
    std::string Object() const { return "{" + text_ + "}"; }

private:
    std::string text_;
};

template <typename T, typename ToJson>
std::string Array(const std::vector<T>& items, ToJson toJson) {
    std::string text;
    for (const auto& item : items) {
        text += text.empty() ? "[" : ",";
        text += toJson(item);
    }
    return text.empty() ? "[]" : text += ']';
}

} // namespace brevanto::check
