// The server console command kestrum_reload: reads the INI file again at once.
#pragma once

// Adds kestrum_reload to the engine's server commands.
void RegisterReloadCommand();
