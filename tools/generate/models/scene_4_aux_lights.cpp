// Extra lights of scene 7: a ring round the rooster with a few in front,
// each carrying a halo sprite.
#include <cmath>

#include "compound_files.h"
#include "stage_lights.h"

compound_file::File BuildScene4AuxLights() {
    compound_file::File file;
    struct Ring {
        const char* name;
        float degrees, radius, height;
        std::array<float, 3> rgb;
    };
    // Angles from +x, counter-clockwise seen from above; -90 is in front (-y).
    const Ring lights[] = {
        {"AuxRed", 0, 5.0f, 1.2f, {1.0f, 0.15f, 0.2f}},     {"AuxYellow", 60, 5.0f, 3.5f, {1.0f, 0.85f, 0.2f}},
        {"AuxLime", 120, 5.0f, 2.4f, {0.45f, 1.0f, 0.2f}},  {"AuxCyan", 180, 5.0f, 0.8f, {0.1f, 0.9f, 1.0f}},
        {"AuxBlue", 240, 5.0f, 2.2f, {0.25f, 0.4f, 1.0f}},  {"AuxPink", 300, 5.0f, 2.9f, {1.0f, 0.3f, 0.75f}},
        {"AuxFrontL", 250, 3.2f, 0.5f, {0.7f, 0.3f, 1.0f}}, {"AuxFrontR", 290, 3.2f, 3.4f, {1.0f, 0.6f, 0.25f}},
    };
    for (const Ring& l : lights) {
        const float a = l.degrees * float(M_PI) / 180.0f;
        stage::AddLight(file, l.name, l.rgb, 0.5f, {l.radius * std::cos(a), l.radius * std::sin(a), l.height});
    }
    return file;
}
