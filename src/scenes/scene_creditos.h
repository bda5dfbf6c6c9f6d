#pragma once

#include <cstdint>

#include "runtime/demo_scene.h"

// The endless turning zoom into the pimp picture, a blurred panel and the
// credits scrolling down over it.
class Scene_Creditos : public TimedScene {
public:
    explicit Scene_Creditos(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawZoom(DemoResources* resources, float time);
    static void DrawFullQuad(uint32_t colour);
    static void DrawPanelQuad(uint32_t colour, float u0);
};

// Where the zoom stands at progress k: r within the period, s the zoom factor,
// angle the turn.
struct ZoomState {
    float r, s, angle;
};
ZoomState ZoomAt(float k);
