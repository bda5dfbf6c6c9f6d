// SDL input events as a user would make them, for widget and screen tests.
// Events name no window, so they reach the only window open.
#pragma once

#include "platform/app_window.h"

void PushMouseMove(int x, int y);
void PushMouseButton(bool down, int x, int y);
void PushKeyDown(int sdlKey);
void PushWindowClose();
// A click: move there, press, release.
void PushClick(int x, int y);
// Takes and dispatches every waiting message for window.
void PumpMessages(AppWindow* window);
// At most one input message, as a frame of the screens' loops takes.
void TakeMessage(AppWindow* window);
