// A picture and/or a line of text over what the scenes before it drew:
// titles, greetings and credits composed in the script. In the 640 x 480
// space of the fades, full screen or in a rectangle, faded in and out.
#pragma once

#include <string>

#include "runtime/demo_scene.h"

class Scene_Layer : public DemoScene_Scene {
public:
    explicit Scene_Layer(DemoResources* resources) : resources_(resources) {}
    void Render(DemoResources* resources, float time) override;
    void SetParameter(std::string line) override;

    // Opacity at demo time ms: rising over fade in from the start, falling
    // over fade out to the end, 1 between.
    float OpacityAt(float time) const;

    std::string picture;  // below textures/; empty: none
    std::string text;     // empty: none
    float x = 0, y = 0, width = 640, height = 480;
    float fadeIn = 0, fadeOut = 0;  // ms
    float textScale = 2.0f;         // of the 16-pixel glyphs
    float colour[3] = {1, 1, 1};    // of the text

private:
    void DrawText(float opacity) const;

    DemoResources* resources_;
    bool reported_ = false;
};
