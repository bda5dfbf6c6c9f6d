// A scene composed in the script: any compound file of the project, through
// one of its cameras, lit by its lights, its tracks and armatures played from
// the span's start; each material drawn by the shader a script line names,
// with optional bloom, clear colour, fog and halos on named lights.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "compound/compound.h"
#include "runtime/demo_scene.h"

class Camera;

class Scene_Compound : public DemoScene_Scene {
public:
    explicit Scene_Compound(DemoResources* resources) : resources_(resources) {}
    void Render(DemoResources* resources, float time) override;
    void SetParameter(std::string line) override;

    // The key the tracks are at, demo time ms: start key + 25 keys a second
    // times speed since the span's start, wrapped into [loop first, loop last)
    // when a loop is set; past the last key the tracks hold their pose.
    float KeyAt(float time) const;

    std::string file;
    std::string cameraName;  // empty: the compound's first camera
    float speed = 1.0f;
    float startKey = 0.0f;
    float loopFirst = 0.0f, loopLast = 0.0f;  // a loop when last > first
    std::vector<std::pair<std::string, std::string>> shaders;  // material ("*": all), shader file
    int bloom = 0;  // blur iterations, 0: none
    bool clear = false;
    float clearColour[3] = {0, 0, 0};
    bool fog = false;
    float fogValue = 0.0f;
    std::vector<std::pair<std::string, float>> halos;  // light, sprite size in pixels

private:
    // Finds the compound, camera and halo lights once; false, after one
    // message like the engine's failed lookups, when any is missing.
    bool Resolve();
    void Fail(const std::string& name);
    void PrepareMaterials();
    void DrawWorld(bool final);

    DemoResources* resources_;
    bool resolved_ = false, failed_ = false;
    Compound* compound_ = nullptr;
    CameraInstance camera_{nullptr, nullptr};
    std::vector<LightInstance> haloInstances_;  // as halos, in order
    Compound haloLight_;  // holds the one light the sprites draw next
};
