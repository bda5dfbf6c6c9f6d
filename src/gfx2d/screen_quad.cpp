#include "gfx2d/screen_quad.h"

#include "gfx2d/immediate_batch.h"
#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"

namespace {

struct Corner {
    float u, v;
};

// Texture coordinates for the corners top-left, top-right, bottom-right, bottom-left.
constexpr Corner kUpright[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
constexpr Corner kMirrored[4] = {{1, 0}, {0, 0}, {0, 1}, {1, 1}};

void DrawQuadWith(const Corner (&uv)[4], int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    zkEnable(1);
    zkSetPackedColour(colour);
    zkBegin(BATCH_QUADS);
    // Wide sums so extreme arguments cannot overflow.
    const float left = static_cast<float>(x), top = static_cast<float>(y);
    const float right = static_cast<float>(int64_t{x} + w), bottom = static_cast<float>(int64_t{y} + h);
    const float cornerX[4] = {left, right, right, left}, cornerY[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        g_batch.current.u = uv[i].u, g_batch.current.v = uv[i].v;
        zkVertex3f(cornerX[i], cornerY[i], 0.0f);
    }
    zkEnd();
    g_graphics->device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

}  // namespace

void zkDrawQuad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    DrawQuadWith(kUpright, x, y, w, h, colour);
}

void zkDrawQuadMirrored(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    DrawQuadWith(kMirrored, x, y, w, h, colour);
}
