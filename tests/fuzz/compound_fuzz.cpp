// Compound files: a file the loader accepts must also animate and draw.
#include "compound/compound.h"
#include "fuzz_shell.h"
#include "platform/graphics_context.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzInput("models/fuzz.nc", data, size);
    Compound compound;
    if (compound.Load("fuzz.nc")) {
        // Every kind of track, at a key time, between keys and past the end.
        for (int mask : {1, 2, 4, 8})
            for (float time : {0.0f, 7.5f, 1e6f}) compound.Animate(mask, time);
        g_graphics->lightList->count = 0;
        compound.Draw(2);
        compound.Draw(1);
    }
    ForgetRecordedCalls();
    return 0;
}
