#include "gfx2d/immediate_batch.h"

#include <cmath>
#include <cstring>

#include "platform/graphics_context.h"

ImmediateBatch g_batch;

namespace {

struct PrimitiveShape {
    int32_t vertices;
    D3DPRIMITIVETYPE type;
    UINT primitives;
};

// Indexed by BatchMode: lines, triangles, quads, points.
constexpr PrimitiveShape kShapes[] = {
    {2, D3DPT_LINELIST, 1},
    {3, D3DPT_TRIANGLEFAN, 1},
    {4, D3DPT_TRIANGLEFAN, 2},
    {1, D3DPT_POINTLIST, 1},
};

// The low byte of the truncated product; values too large for an integer give 0.
DWORD ColourByte(float component) {
    const float scaled = component * 255.0f;
    if (!(std::fabs(scaled) < 9.0e18f)) return 0;
    return static_cast<DWORD>(static_cast<int64_t>(scaled)) & 0xFF;
}

}  // namespace

void zkBegin(int32_t mode) {
    g_batch.mode = mode;
    g_batch.count = 0;
}

void zkEnd() {
    if (g_batch.mode != BATCH_NONE) std::memset(g_batch.pending, 0, sizeof g_batch.pending);
}

void zkColor4f(float r, float g, float b, float a) {
    g_batch.current.colour = ColourByte(a) << 24 | ColourByte(r) << 16 | ColourByte(g) << 8 | ColourByte(b);
}

void zkVertex3f(float x, float y, float z) {
    if (g_batch.mode < BATCH_LINES || g_batch.mode > BATCH_POINTS) return;
    const PrimitiveShape& shape = kShapes[g_batch.mode];
    if (g_batch.count < 0 || g_batch.count >= shape.vertices) g_batch.count = 0;

    g_batch.current.x = x, g_batch.current.y = y, g_batch.current.z = z;
    g_batch.pending[g_batch.count++] = g_batch.current;
    if (g_batch.count < shape.vertices) return;

    IDirect3DDevice9* device = g_graphics->device;
    device->SetFVF(kBatchVertexFormat);
    device->DrawPrimitiveUP(shape.type, shape.primitives, g_batch.pending, sizeof(BatchVertex));
    g_batch.count = 0;
}
