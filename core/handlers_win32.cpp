// The table the window descriptions' handler keys are looked up in. A new
// handler joins with one VELMORA_HANDLER line; its key comes from its name.
#include "core/handlers.h"
#include "core/links.h"
#include "core/startup.h"

namespace {

constexpr HandlerEntry kHandlers[] = {
    VELMORA_HANDLER(OnStartup),         VELMORA_HANDLER(OnShutdown),
    VELMORA_HANDLER(SelectTab0),        VELMORA_HANDLER(SelectTab1),
    VELMORA_HANDLER(SelectTab2),        VELMORA_HANDLER(SelectTab3),
    VELMORA_HANDLER(ShowPage1),         VELMORA_HANDLER(ShowPage2),
    VELMORA_HANDLER(ShowPage3),         VELMORA_HANDLER(ShowPage4),
    VELMORA_HANDLER(ShowPage5),         VELMORA_HANDLER(OpenChatLink1),
    VELMORA_HANDLER(OpenChatLink2),     VELMORA_HANDLER(OpenChatLink3),
    VELMORA_HANDLER(OpenSiteLink520),   VELMORA_HANDLER(OpenSiteLink55),
    VELMORA_HANDLER(OpenSiteLink15A),   VELMORA_HANDLER(OpenSiteLink15B),
    VELMORA_HANDLER(ShowFollowWindow),  VELMORA_HANDLER(ShowHelpWindow),
    VELMORA_HANDLER(CloseHelpWindow),   VELMORA_HANDLER(OpenDownloadLink1),
    VELMORA_HANDLER(OpenDownloadLink2), VELMORA_HANDLER(OpenDownloadLink3),
    VELMORA_HANDLER(CopyAccessCode1),   VELMORA_HANDLER(CopyAccessCode2),
};
static_assert(HandlerKeysUsable(kHandlers), "two handler names share a key");

}  // namespace

HandlerTable ApplicationHandlers() { return kHandlers; }
