// Everything the demo loads, owned for the whole run.
#pragma once

#include "runtime/frame_rate_history.h"
#include "runtime/music.h"

struct DemoApp;

struct DemoResources {
    SoundDevice soundDevice;
    MusicTrack music;
    FrameRateHistory frameRateHistory;
    DemoApp* app = nullptr;
    int width = 0;
    int height = 0;
    float aspect = 0.0f;

    void Load();
};
