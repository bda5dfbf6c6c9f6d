// The demo's pictures, drawn from code: one maker per picture, and the
// helpers they share (colours, the pixel font as stamps).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace textures {

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

// 0xAARRGGBB, top row first, as WritePng takes it.
struct Image {
    uint32_t width = 0, height = 0;
    bool alpha = true;
    std::vector<uint32_t> pixels;

    Image(uint32_t w, uint32_t h, bool withAlpha, uint32_t fill = 0);
    uint32_t& at(uint32_t x, uint32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Channels clamped to 0..1 and rounded.
uint32_t Pack(const Colour& c);
Colour Unpack(uint32_t pixel);
Colour Mix(const Colour& a, const Colour& b, float t);
float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float v);

// A coverage mask (0 or 1 per pixel) of text in the pixel font: each font pixel
// becomes scale x scale, glyphs advance 6 font pixels, spaces 4.
struct TextMask {
    int width = 0, height = 0;
    std::vector<uint8_t> on;
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && on[static_cast<size_t>(y) * width + x];
    }
};
int TextWidth(const std::string& text, int scale);
TextMask RenderText(const std::string& text, int scale);

// A Gaussian blur of a w x h field of values (outside counts as 0).
std::vector<float> Blur(const std::vector<float>& field, int w, int h, float sigma);

Image MakeFontSheet();         // fnt_04b08.png
Image MakeLogoPresentation();  // tex2dnpt_logo_presentation.png
Image MakeScreen();            // tex2dnpt_screen.png
Image MakeParticleHalo();      // tex2d_particle_halo.png
Image MakeParticleLines();     // tex2d_particle_lines.png
Image MakeBall();              // tex2d_ball.png
Image MakeBackQuad();          // tex2d_backquad.png
Image MakeGreetings();         // tex2dnpt_greetings.png
Image MakePimp();              // tex2dnpt_pimp.png
Image MakeGaloPalette();       // tex2d_galo_palette.png

}  // namespace textures
