// Passes that several scenes share: render-target passes and blurs, the
// bloom around a world drawing, the additive composite, the beat-pulsed
// halo layers and the rooster's pose.
#pragma once

#include <functional>

#include "backend/d3d9.h"

struct DemoResources;
class Compound;
class NamedTexture;

// Ends the target's render-to-surface pass, when it has one.
void EndTargetPass(NamedTexture& target);
void SetSampler0Address(DWORD mode);

// Draws source into destination through the blur shader (no shaders when it
// failed to load) in a width x height 2D space.
void BlurPass(DemoResources* r, NamedTexture& source, NamedTexture& destination, float width, float height,
              float x, float y, float z, float w);

// Adds target over the whole output.
void AddOverScreen(DemoResources* r, NamedTexture& target);

// The world into target 3, blurred by iterations of a horizontal and a
// vertical pass through target 4 (sampler 0 clamped meanwhile when asked),
// the world again into the back buffer and the blurred world added over it.
// drawWorld receives true for the final drawing.
struct BloomOptions {
    int iterations;
    bool clampWhileBlurring;
};
void RenderWithBloom(DemoResources* r, const BloomOptions& options, const std::function<void(bool final)>& drawWorld);

// Per light of the compound: colour w = weight x flicker, halo size 10 x flicker.
void PulseLights(DemoResources* r, Compound& lights, float x, float weight);
// The halo layer in light colours, then the line layer in white at size
// 15 x flicker; each drawn only when draw is set.
void DrawHaloLayers(DemoResources* r, Compound& lights, float x, bool occlusionTest, bool draw);

// Poses the rooster's armature at frame and uploads its skin matrices.
void PoseRooster(DemoResources* r, float frame);
// Key frame of a cycle: B = keyTime x rate, wrapped by whole multiples of
// cycle, plus first.
float CycleFrame(float keyTime, double rate, int cycle, double first);

// The 3D set-up of every scene: 36 degrees, near 0.2, far 1000.
void SetSceneProjection(DemoResources* r);
