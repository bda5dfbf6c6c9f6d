#include "scenes/scene_5a.h"

#include <utility>

#include "runtime/script_line.h"

namespace {
// Clockwise spiral from the top-left cell inward, as delays per cell.
constexpr float kSpiral[16] = {0.0f,   0.0625f, 0.125f, 0.1875f, 0.6875f, 0.75f,   0.8125f, 0.25f,
                               0.625f, 0.9375f, 0.875f, 0.3125f, 0.5625f, 0.5f,    0.4375f, 0.375f};
}  // namespace

Scene_5A::Scene_5A(DemoResources*) {
    for (int i = 0; i < 16; ++i) delays[i] = i * 0.0625f;
}

void Scene_5A::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    // These two read the whole rest of the line, not field 1.
    if (name == "reverse") {
        reverse = true;
    } else if (name == "mode") {
        const int mode = ScriptInt(TextAfterName(line));
        if (mode == 1) {
            for (int i = 0; i < 16; ++i) delays[i] = 1.0f - i * 0.0625f;
        } else if (mode == 2 || mode == 3) {
            for (int i = 0; i < 16; ++i) delays[i] = kSpiral[i];
            if (mode == 3)
                for (int i = 0; i < 8; ++i) std::swap(delays[i], delays[15 - i]);
        }
    }
}
