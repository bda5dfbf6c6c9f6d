// Demo scripts: line splitting, scene lines, music lines and every scene
// class's SetParameter, over a data set that satisfies every lookup. The
// scenes are not drawn: a frame of them costs fifty times the reading.
#include <cstdio>

#include "fuzz_shell.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "test_data_set.h"

namespace {
DemoPlayer* g_player = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    WriteTestDataSet(FuzzScratch());
    g_player = new DemoPlayer(640, 480, 4.0f / 3.0f);
    g_player->resources->Load();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    FILE* script = fmemopen(const_cast<uint8_t*>(data), size, "r");
    ScriptMusic music;
    g_player->ReadScript(script, &music);
    std::fclose(script);
    g_player->DestroyScenes();
    return 0;
}
