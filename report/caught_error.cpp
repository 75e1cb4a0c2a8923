#include "report/caught_error.h"

#include <exception>
#include <new>

#include "report/run_error.h"

namespace brevanto {
namespace {

std::wstring Widened(const std::string& what) {
    return std::wstring(what.begin(), what.end());
}

} // namespace

std::wstring CaughtErrorText(const CaughtErrorWords& words) {
    // Ours first: a RunError is a standard exception too, whose what() says nothing.
    try {
        throw;
    } catch (const RunError& error) {
        return error.Description();
    } catch (const std::bad_alloc& error) {
        return words.outOfMemory.empty() ? Widened(error.what()) : std::wstring(words.outOfMemory);
    } catch (const std::exception& error) {
        return Widened(error.what());
    } catch (...) {
        return std::wstring(words.unknown);
    }
}

} // namespace brevanto
