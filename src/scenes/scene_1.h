#pragma once

#include "runtime/demo_scene.h"

class Camera;
class Compound;

// The bar with its mirrored floor, beat-pulsed lights, halos and bloom.
class Scene_1 : public ValueScene {
public:
    explicit Scene_1(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, int ms, bool final);

    Camera* camera = nullptr;
};

// The world of Scene_1, also Scene_3's with its own compound, camera and
// tint: the mirror image, the floor glow, the world, the halo layers.
void DrawMirroredWorld(DemoResources* r, Compound& world, Camera* camera, int ms, bool final, float tintR,
                       float tintG, float tintB, float value);
