#include "reload_command.h"

#include "config.h"
#include "frame.h"

namespace {

// Runs on the server's main thread, like a map start. Only the switches and tables are
// read again; the player weapon table keeps every player's weapon state, so the next
// shot after a reload already kicks by the new multipliers.
void ReloadCommand() {
    LoadConfiguration();
}

}  // namespace

void RegisterReloadCommand() {
    if (g_engfuncs.pfnAddServerCommand != nullptr) {
        g_engfuncs.pfnAddServerCommand("kestrum_reload", ReloadCommand);
    }
}
