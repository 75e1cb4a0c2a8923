#include "platform/window/activation_context.h"

namespace brevanto {
namespace {

HANDLE CreateFromResource(HMODULE module, WORD manifestResourceId) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEW(manifestResourceId);
    return CreateActCtxW(&request);
}

} // namespace

ActivationContext::ActivationContext(HMODULE module, WORD manifestResourceId)
    : context_(CreateFromResource(module, manifestResourceId)) {}

ActivationScope::ActivationScope(const ActivationContext& context) {
    // A context the system could not make activates nothing, rather than the process default.
    if (context.Get() && context.Get() != INVALID_HANDLE_VALUE)
        Activate(context.Get());
}

ActivationScope::ActivationScope(ProcessDefault) {
    Activate(nullptr);
}

void ActivationScope::Activate(HANDLE context) {
    active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_)
        DeactivateActCtx(0, cookie_);
}

} // namespace brevanto
