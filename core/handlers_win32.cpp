// The table the window descriptions' handler keys are looked up in. A new
// handler joins with one VELMORA_HANDLER line; its key comes from its name.
#include "core/handlers.h"

#include "core/startup.h"

namespace {

constexpr HandlerEntry kHandlers[] = {
    VELMORA_HANDLER(OnStartup),
    VELMORA_HANDLER(OnShutdown),
};
static_assert(HandlerKeysUsable(kHandlers), "two handler names share a key");

}  // namespace

HandlerTable ApplicationHandlers() { return kHandlers; }
