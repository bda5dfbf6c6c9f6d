#include "synthetic_input.h"

#include <SDL.h>

namespace {

// Events pushed before any window exists would be dropped without a queue.
void Push(SDL_Event* event) {
    SDL_InitSubSystem(SDL_INIT_EVENTS);
    SDL_PushEvent(event);
}

}  // namespace

void PushMouseMove(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x, event.motion.y = y;
    Push(&event);
}

void PushMouseButton(bool down, int x, int y) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = x, event.button.y = y;
    Push(&event);
}

void PushKeyDown(int sdlKey) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = sdlKey;
    Push(&event);
}

void PushWindowClose() {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(&event);
}

void PushClick(int x, int y) {
    PushMouseMove(x, y);
    PushMouseButton(true, x, y);
    PushMouseButton(false, x, y);
}

namespace {

bool Dispatch(AppWindow* window) {
    g_currentWindow = window;
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

}  // namespace

void PumpMessages(AppWindow* window) {
    while (Dispatch(window)) {
    }
}

void TakeMessage(AppWindow* window) {
    // SDL's own housekeeping events arrive as WM_NULL; skipping them keeps one input per frame.
    g_currentWindow = window;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message == WM_NULL)
        PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    Dispatch(window);
}
