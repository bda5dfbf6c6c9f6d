#include "scenes/scene_layer.h"

#include <algorithm>
#include <cmath>

#include "backend/win32.h"
#include "gfx2d/bitmap_font.h"
#include "gfx2d/gui_primitives.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/render_presets.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"

namespace {

// Inside a screen of a few widths either way; not-a-number reads as 0.
float Coordinate(const std::string& line, int index) {
    const float value = ScriptFloat(ScriptField(line, index));
    return std::isfinite(value) ? std::clamp(value, -4096.0f, 4096.0f) : 0.0f;
}

uint32_t Byte(float unit) { return static_cast<uint32_t>(std::clamp(unit, 0.0f, 1.0f) * 255.0f); }

}  // namespace

void Scene_Layer::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    if (name == "picture") picture = ScriptField(line, 1);
    if (name == "text") text = ScriptField(line, 1);
    if (name == "rect") {
        x = Coordinate(line, 1), y = Coordinate(line, 2);
        width = Coordinate(line, 3), height = Coordinate(line, 4);
    }
    if (name == "fade") fadeIn = std::max(0.0f, Coordinate(line, 1)), fadeOut = std::max(0.0f, Coordinate(line, 2));
    if (name == "size") textScale = std::clamp(Coordinate(line, 1), 0.0f, 64.0f);
    if (name == "colour")
        for (int i = 0; i < 3; ++i) colour[i] = std::clamp(Coordinate(line, i + 1), 0.0f, 1.0f);
}

float Scene_Layer::OpacityAt(float time) const {
    float opacity = 1.0f;
    if (fadeIn > 0) opacity = std::min(opacity, (time - start) / fadeIn);
    if (fadeOut > 0) opacity = std::min(opacity, (end - time) / fadeOut);
    return std::clamp(opacity, 0.0f, 1.0f);
}

void Scene_Layer::DrawText(float opacity) const {
    BitmapFont font = resources_->font;
    font.flags = FONT_CENTRE | FONT_CENTRE_FIRST_LINE_VERTICALLY;
    zkPushMatrix();
    zkTranslate(x + width / 2, y + height / 2, 0);
    zkScale(textScale, textScale, 1);
    zkPrint(&font, 0, 0, zkPackColour(Byte(colour[0]), Byte(colour[1]), Byte(colour[2]), Byte(opacity)), "%s",
            text.c_str());
    zkPopMatrix();
}

void Scene_Layer::Render(DemoResources*, float time) {
    NamedTexture* pictureTexture = picture.empty() ? nullptr : resources_->project.PictureOf(picture);
    if (!picture.empty() && (!pictureTexture || !pictureTexture->texture) && !reported_) {
        // As a picture that does not load: the layer draws without it.
        MessageBoxA(nullptr, ("textures\\" + picture).c_str(), "zkLoadTexture Error", MB_OK);
        reported_ = true;
    }
    const float opacity = OpacityAt(time);
    IDirect3DDevice9* device = g_graphics->device;
    zkSet2D(640, 480);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (pictureTexture && pictureTexture->texture) {
        pictureTexture->Bind(0);
        zkDrawQuad(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(width),
                   static_cast<int32_t>(height), Byte(opacity) << 24 | 0x00FFFFFFu);
    }
    if (!text.empty()) DrawText(opacity);
}
