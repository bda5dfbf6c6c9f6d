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

}  // namespace

uint32_t TruncatedLowByte(float value) {
    if (!(std::fabs(value) < 9.0e18f)) return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(value)) & 0xFF;
}

void zkBegin(int32_t mode) {
    g_batch.mode = mode;
    g_batch.count = 0;
}

void zkEnd() {
    if (g_batch.mode != BATCH_NONE) std::memset(g_batch.pending, 0, sizeof g_batch.pending);
}

void zkColor4f(float r, float g, float b, float a) {
    g_batch.current.colour = TruncatedLowByte(a * 255.0f) << 24 | TruncatedLowByte(r * 255.0f) << 16 |
                             TruncatedLowByte(g * 255.0f) << 8 | TruncatedLowByte(b * 255.0f);
}

void zkSetPackedColour(uint32_t colour) {
    const uint32_t red = colour & 0xFF, green = colour >> 8 & 0xFF, blue = colour >> 16 & 0xFF;
    g_batch.current.colour = (colour & 0xFF000000u) | red << 16 | green << 8 | blue;
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
