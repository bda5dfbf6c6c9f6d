// A glowing point sprite on every light of a compound, optionally only where
// the light itself is not hidden.
#pragma once

#include "backend/d3d9.h"

class Compound;
class NamedTexture;

class HaloSprites {
public:
    HaloSprites();
    ~HaloSprites();
    HaloSprites(const HaloSprites&) = delete;
    HaloSprites& operator=(const HaloSprites&) = delete;

    // Sprites at world positions: the caller has set the compound's camera.
    void Draw(const Compound& compound);

    float size = 1.0f;
    bool useLightColour = false;
    bool occlusionTest = true;
    float colour[4] = {};  // alpha unused: sprites are opaque
    IDirect3DQuery9* occlusionQuery = nullptr;  // null on a device without queries
    NamedTexture* spriteTexture = nullptr;      // not owned

private:
    bool Visible(float x, float y, float z);
};

// A size factor from a time value: 0 unless |sin x| > 0.8, rising to 1.
float HaloFlicker(float x);
