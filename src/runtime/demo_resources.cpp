#include "runtime/demo_resources.h"

#include <string>

#include "backend/win32.h"

void DemoResources::Load() {
    ShowCursor(FALSE);
    music.SetDevice(soundDevice);
    music.Open(std::string("audio/") + "amber-meadow_tune.ogg");
}
