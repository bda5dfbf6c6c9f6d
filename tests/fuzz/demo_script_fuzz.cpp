// Demo scripts: line splitting, scene lines, music lines and every scene
// class's SetParameter, over a data set that satisfies every lookup of the
// original's scenes. The maker's lines too: the scan for the files they name
// (which must never name one outside its folder), then the composed scenes
// and layers drawn once, every lookup of theirs failing. The original's
// scenes are not drawn: a frame of them costs fifty times the reading.
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "fuzz_shell.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/project_files.h"
#include "scenes/scene_compound.h"
#include "scenes/scene_layer.h"
#include "test_data_set.h"

namespace {
DemoPlayer* g_player = nullptr;

void ExpectPlain(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (!IsPlainFileName(name)) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    WriteTestDataSet(FuzzScratch());
    g_player = new DemoPlayer(640, 480, 4.0f / 3.0f);
    g_player->resources->Load();
    g_player->resources->project.missingEndsTheDemo = false;  // as in the live player: a miss draws nothing
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    FILE* script = fmemopen(const_cast<uint8_t*>(data), size, "r");
    const ProjectFiles files = ScanProjectFiles(script);
    ExpectPlain(files.compounds);
    ExpectPlain(files.shaders);
    ExpectPlain(files.pictures);
    if (!IsPlainFileName(files.musicFile)) std::abort();
    std::rewind(script);
    ScriptMusic music;
    g_player->ReadScript(script, &music);
    std::fclose(script);
    for (DemoScene_Scene* scene : g_player->timeline)
        if (typeid(*scene) == typeid(Scene_Compound) || typeid(*scene) == typeid(Scene_Layer))
            scene->Render(g_player->resources, scene->start + 1.0f);
    g_player->DestroyScenes();
    return 0;
}
