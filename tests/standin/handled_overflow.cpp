#include "handled_overflow.h"

#include "crash.h"
#include "journal.h"
#include "platform/base/system_function.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

namespace brevanto::standin {
namespace {

void JournalOverflow(std::string_view object, std::string_view member,
                     std::string_view event) noexcept {
    try {
        std::vector<std::string> fields{SeenField("event", event)};
        if (event == "handled")
            fields.push_back(SeenField("code", HexCode(EXCEPTION_STACK_OVERFLOW)));
        WriteEventJournal(JournalKind::Overflow, object, member, std::move(fields));
    } catch (const std::bad_alloc&) {
        // The line is lost; the overflow goes on.
    }
}

using ResetStackOverflowFunction = int(__cdecl*)();

// The overflow used up the stack's guard page; without a new one the next overflow would end the
// process without an exception.
void ResetGuardPage() {
    if (const auto reset =
            SystemFunction<ResetStackOverflowFunction>(L"msvcrt.dll", "_resetstkoflw"))
        reset();
}

#if defined(__i386__)

using RtlUnwindFunction = void(WINAPI*)(void*, void*, EXCEPTION_RECORD*, void*);

// A frame handler registered by hand at the head of the thread's exception list (fs:0), as a
// compiler's __try registers one: the system calls it before the unhandled-exception filter.
struct OverflowFrame {
    EXCEPTION_REGISTRATION_RECORD registration; // first: the handler is given its address
    void* resume[5];                            // __builtin_setjmp's buffer
};

EXCEPTION_DISPOSITION NTAPI TakeOverflow(EXCEPTION_RECORD* record, void* establisher, CONTEXT*,
                                         void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0 ||
        record->ExceptionCode != EXCEPTION_STACK_OVERFLOW)
        return ExceptionContinueSearch;
    // As a compiler's handler does before it runs the __except block: the frames below this one,
    // the dispatcher's own included, are unwound and taken off the list, so that the jump back
    // up the stack leaves the list sound.
    const auto unwind = SystemFunction<RtlUnwindFunction>(L"ntdll.dll", "RtlUnwind");
    if (!unwind)
        return ExceptionContinueSearch;
    unwind(establisher, nullptr, record, nullptr);
    __builtin_longjmp(static_cast<OverflowFrame*>(establisher)->resume, 1);
}

// The head of the thread's list of frame handlers, the first field of its TIB at fs:0.
EXCEPTION_REGISTRATION_RECORD* ExceptionListHead() {
    EXCEPTION_REGISTRATION_RECORD* head;
    asm volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

void SetExceptionListHead(EXCEPTION_REGISTRATION_RECORD* head) {
    asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

[[gnu::noinline]] bool RecurseUnderOwnHandler() {
    OverflowFrame frame{};
    frame.registration.Next = ExceptionListHead();
    frame.registration.Handler = &TakeOverflow;
    if (__builtin_setjmp(frame.resume) == 0) {
        SetExceptionListHead(&frame.registration);
        RecurseUntilTheStackOverflows();
        SetExceptionListHead(frame.registration.Next);
        return false;
    }
    SetExceptionListHead(frame.registration.Next);
    ResetGuardPage();
    return true;
}

#elif defined(__x86_64__)

} // namespace
} // namespace brevanto::standin

// The filter of the scope below, named in its scope table by this plain name.
extern "C" LONG brevanto_standin_take_overflow(EXCEPTION_POINTERS* exception, void*) {
    return exception->ExceptionRecord->ExceptionCode == EXCEPTION_STACK_OVERFLOW
               ? EXCEPTION_EXECUTE_HANDLER
               : EXCEPTION_CONTINUE_SEARCH;
}

namespace brevanto::standin {
namespace {

// A __try scope as a compiler writes one into the function's unwind data: the system's
// __C_specific_handler asks the filter, unwinds, and resumes at the scope's end.
[[gnu::noinline]] bool RecurseUnderOwnHandler() {
    volatile bool handled = true;
    asm volatile(".l_overflow_scope_start:\n"
                 "\t.seh_handler __C_specific_handler, @except\n"
                 "\t.seh_handlerdata\n"
                 "\t.long 1\n"
                 "\t.rva .l_overflow_scope_start, .l_overflow_scope_end, "
                 "brevanto_standin_take_overflow, .l_overflow_scope_end\n"
                 "\t.text\n" ::
                     : "memory");
    RecurseUntilTheStackOverflows();
    handled = false;
    asm volatile("nop\n.l_overflow_scope_end:\n\tnop\n" ::: "memory");
    if (handled)
        ResetGuardPage();
    return handled;
}

#endif

} // namespace

bool OverflowUnderOwnHandler(std::string_view object, std::string_view member) noexcept {
    JournalOverflow(object, member, "start");
    if (!RecurseUnderOwnHandler())
        return false;
    JournalOverflow(object, member, "handled");
    return true;
}

} // namespace brevanto::standin
