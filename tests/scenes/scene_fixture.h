// Scenes over the test data set on the recording device, and a condensed
// trace of what one Render did: render targets entered, textures bound on
// stage 0, blur "settings", sampler 0 addressing, blend factors, meshes
// (by face count), quads and sprites.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/demo_resources.h"
#include "temp_dir.h"

class SceneShell : public RecordingShell {
protected:
    void SetUp() override;
    void TearDown() override;

    template <typename SceneClass>
    std::unique_ptr<SceneClass> Make(const std::vector<std::string>& parameters) {
        auto scene = std::make_unique<SceneClass>(r);
        for (const std::string& line : parameters) scene->SetParameter(line);
        return scene;
    }
    // Renders at time and returns the trace of the calls it made.
    std::vector<std::string> Trace(DemoScene_Scene& scene, float time);
    // Only the entries that start with prefix.
    static std::vector<std::string> Only(const std::vector<std::string>& trace, const std::string& prefix);

    MessageBoxCapture boxes;
    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<DemoPlayer> player;
    DemoResources* r = nullptr;
};
