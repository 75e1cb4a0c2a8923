#include "platform/activation_context.h"

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
    if (context.Get() && context.Get() != INVALID_HANDLE_VALUE)
        active_ = ActivateActCtx(context.Get(), &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_)
        DeactivateActCtx(0, cookie_);
}

} // namespace brevanto
