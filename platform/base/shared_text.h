#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace brevanto {

// A text one thread sets and another copies out, neither of them allocating nor waiting for
// long: for what a crash report or the exit guard's last words read while the thread that set it
// may be stopped inside a component, or another thread may hold the heap's lock. A text longer
// than Capacity keeps its first Capacity characters.
template <std::size_t Capacity> class SharedText {
public:
    void Set(std::wstring_view text) noexcept {
        AcquireSRWLockExclusive(&lock_);
        length_ = text.size() < Capacity ? text.size() : Capacity;
        text.copy(text_.data(), length_);
        set_ = true;
        ReleaseSRWLockExclusive(&lock_);
    }

    // Copies the text into out, which holds Capacity characters, and gives its length; nothing
    // when it was never set. A writer holds the lock only while it copies; one found holding it
    // for longer (stopped there) leaves the text unread.
    std::optional<std::size_t> CopyTo(wchar_t* out) const noexcept {
        constexpr int kAttempts = 50;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            if (TryAcquireSRWLockShared(&lock_)) {
                const std::size_t length = length_;
                const bool set = set_;
                std::wstring_view(text_.data(), length).copy(out, length);
                ReleaseSRWLockShared(&lock_);
                return set ? std::optional<std::size_t>(length) : std::nullopt;
            }
            Sleep(1);
        }
        return std::nullopt;
    }

private:
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    std::array<wchar_t, Capacity> text_{};
    std::size_t length_ = 0;
    bool set_ = false;
};

} // namespace brevanto
