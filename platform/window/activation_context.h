#pragma once

#include <windows.h>

#include "platform/base/unique_resource.h"

namespace brevanto {

// An activation context made from one of a module's manifest resources. The process default
// context (manifest resource 1) is the components' too, so it keeps the classic controls they
// were built with; our own window activates one with the version 6 common controls around the
// creation of its controls. An invalid context (the system could not make it) activates nothing.
class ActivationContext {
public:
    ActivationContext(HMODULE module, WORD manifestResourceId);

    HANDLE Get() const { return context_.Get(); }

private:
    UniqueActivationContext context_;
};

// Makes a context the calling thread's active one for the scope's lifetime.
class ActivationScope {
public:
    explicit ActivationScope(const ActivationContext& context);
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

protected:
    // The process default context (the exe's manifest 1): a null context on top of the stack
    // stands for it.
    struct ProcessDefault {};
    explicit ActivationScope(ProcessDefault);

private:
    void Activate(HANDLE context);

    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Pushes the process default context, with the classic common controls, over whatever context
// is active: our own version 6 context around a message box whose loop runs the job, or the
// context Windows activates around our window procedure.
class DefaultContextScope : public ActivationScope {
public:
    DefaultContextScope() : ActivationScope(ProcessDefault{}) {}
};

} // namespace brevanto
