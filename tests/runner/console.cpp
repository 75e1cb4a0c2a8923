#include "tests/runner/console.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace brevanto::runner {
namespace {

std::mutex g_sayLock;

} // namespace

void Say(std::string_view line) {
    std::string text(line);
    text += '\n';
    const std::lock_guard lock(g_sayLock);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace brevanto::runner
