// Everything the demo loads, owned for the whole run.
#pragma once

#include "gfx2d/bitmap_font.h"
#include "runtime/frame_rate_history.h"
#include "runtime/music.h"

struct DemoApp;

struct DemoResources {
    SoundDevice soundDevice;
    MusicTrack music;
    FrameRateHistory frameRateHistory;
    BitmapFont font;
    DemoApp* app = nullptr;
    int width = 0;
    int height = 0;
    float aspect = 0.0f;

    void Load();
};
