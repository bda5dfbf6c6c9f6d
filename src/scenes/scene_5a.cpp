#include "scenes/scene_5a.h"

#include <utility>

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_5.h"
#include "scenes/scene_passes.h"

namespace {
// Clockwise spiral from the top-left cell inward, as delays per cell.
constexpr float kSpiral[16] = {0.0f,   0.0625f, 0.125f, 0.1875f, 0.6875f, 0.75f,   0.8125f, 0.25f,
                               0.625f, 0.9375f, 0.875f, 0.3125f, 0.5625f, 0.5f,    0.4375f, 0.375f};
}  // namespace

Scene_5A::Scene_5A(DemoResources* resources) : camera(resources->stage5.GetCamera("ID5")) {
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

void Scene_5A::DrawTargets(DemoResources* r, float time) { DrawRoosterTiles(r, camera, time, true); }

void Scene_5A::Render(DemoResources* r, float time) {
    RenderTiles(r, [&] { DrawTargets(r, time); }, [&] { DrawCells(r, ProgressAt(time)); });
}

void Scene_5A::DrawCells(DemoResources* r, float k) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            if (!(delays[row * 4 + column] <= 1.2 * k)) continue;
            const int x = r->width * column / 4, y = r->height * row / 4;
            const int w = r->width / 4, h = r->height / 4;
            if ((column + 1) % 2 == (row + 1) % 2) {
                r->target1.Bind(0);
                zkDrawQuadMirrored(x, y, w, h, 0xFFFFFFFF);
            } else {
                r->target2.Bind(0);
                zkDrawQuad(x, y, w, h, 0xFFFFFFFF);
            }
        }
}
