#pragma once

#include <string>

namespace brevanto {

// Overwrites every character a text's buffer holds, past its end too, and empties it: a secret
// (the password) must not linger in memory that goes back to the heap.
inline void Wipe(std::wstring& text) {
    // Within the capacity nothing is reallocated, so the whole buffer is reached.
    text.resize(text.capacity());
    volatile wchar_t* characters = text.data();
    for (std::size_t i = 0; i < text.size(); ++i)
        characters[i] = L'\0';
    text.clear();
}

// Wipes a text when the scope ends, on every path.
class WipeOnExit {
public:
    explicit WipeOnExit(std::wstring& text) : text_(text) {}
    ~WipeOnExit() { Wipe(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    std::wstring& text_;
};

} // namespace brevanto
