#include "gfx2d/gui_primitives.h"

#include "gfx2d/immediate_batch.h"
#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"

namespace {

struct Corner {
    int x, y;
    uint32_t colour;
};

// Preset 1 with source-alpha blending around one primitive of the batch.
template <size_t N>
void DrawShape(int32_t mode, const Corner (&corners)[N]) {
    IDirect3DDevice9* device = g_graphics->device;
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    zkBegin(mode);
    for (const Corner& corner : corners) {
        zkSetPackedColour(corner.colour);
        zkVertex3f(static_cast<float>(corner.x), static_cast<float>(corner.y), 0.0f);
    }
    zkEnd();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

}  // namespace

void zkFillRect(int x, int y, int w, int h, uint32_t colour) { zkGradientRect(x, y, w, h, colour, colour); }

void zkGradientRect(int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
    DrawShape(BATCH_QUADS, {{x, y, top}, {x + w, y, top}, {x + w, y + h, bottom}, {x, y + h, bottom}});
}

void zkDrawLine(int x1, int y1, int x2, int y2, uint32_t colour) {
    DrawShape(BATCH_LINES, {{x1, y1, colour}, {x2, y2, colour}});
}

void zkArrowRight(int x, int y, uint32_t colour) {
    DrawShape(BATCH_TRIANGLES, {{x, y, colour}, {x, y + 10, colour}, {x + 10, (2 * y + 10) / 2, colour}});
}

void zkArrowLeft(int x, int y, uint32_t colour) {
    DrawShape(BATCH_TRIANGLES, {{x + 10, y, colour}, {x + 10, y + 10, colour}, {x, (2 * y + 10) / 2, colour}});
}

void zkOverlayFrame(uint32_t colour) {
    zkDrawLine(0, 0, 0, 100, colour);
    zkDrawLine(0, 0, 401, 0, colour);
    zkDrawLine(400, 0, 400, 100, colour);
    zkDrawLine(400, 100, 0, 100, colour);
}

uint32_t zkScaleColour(uint32_t colour, float factor) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) result |= TruncatedLowByte(static_cast<float>(colour >> shift & 0xFF) * factor) << shift;
    return result;
}
