// Starts an SDL subsystem the way every stand-in needs it.
#pragma once

#include <SDL.h>

// SDL would turn SIGINT and SIGTERM into a quit event that a Win32 program
// never sees; keep the default actions so the demo stops like any process.
inline bool InitSdlSubsystem(Uint32 flags) {
    if (SDL_WasInit(flags) == flags) return true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(flags) == 0;
}
