// The credits: each line of text a model of flat quads, one per run of lit
// pixels of the pixel font, at z = 0 with its baseline at the model's y = 0.
// The scene draws the file in 640 x 480 after translate(320, 240 + 2000 k) and
// scale(50, -50): one unit is 50 pixels, +y is up the screen, and the view
// rises from y = 0 to y = 40 over the scene, so the lines are laid out upwards
// in the order they should appear, centred on the right-hand panel (x = 4).
// No shader draws them and lighting is off, so the colour is the vertex's
// COLOR0; the materials carry the same colours for anything that reads them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "compound_files.h"
#include "pixel_font.h"
#include "placement.h"

namespace {

constexpr float kPanelCentre = 4.0f, kPanelWidth = 4.4f;
constexpr uint32_t kHeading = 0, kName = 1;
constexpr std::array<float, 4> kAmber{1.0f, 0.72f, 0.28f, 1.0f}, kWhite{1.0f, 1.0f, 1.0f, 1.0f};

struct Line {
    const char* text;
    uint32_t material;
    float baseline;
    float pixel;  // font pixel size in units; shrunk where the line would not fit the panel
};

const Line kLines[] = {
    {"HALCYON 98 PIECE", kHeading, 4.0f, 0.05f},
    {"credits", kName, 3.2f, 0.05f},

    {"code", kHeading, 9.0f, 0.06f},
    {"the halcyon98piece team", kName, 8.3f, 0.05f},
    {"graphics", kHeading, 13.5f, 0.06f},
    {"the halcyon98piece team", kName, 12.8f, 0.05f},
    {"music", kHeading, 18.0f, 0.06f},
    {"the halcyon98piece team", kName, 17.3f, 0.05f},
    {"engine", kHeading, 22.5f, 0.06f},
    {"the halcyon98piece team", kName, 21.8f, 0.05f},

    {"greetings to", kHeading, 29.5f, 0.06f},
    {"velvet ohm", kName, 28.8f, 0.05f},
    {"copper lantern", kName, 28.2f, 0.05f},
    {"nine owls", kName, 27.6f, 0.05f},
    {"dusty vector", kName, 27.0f, 0.05f},
    {"kettle logic", kName, 26.4f, 0.05f},
    {"tin orbit", kName, 25.8f, 0.05f},

    {"made from code with", kHeading, 34.5f, 0.05f},
    {"c++17, sdl2, opengl,", kName, 33.8f, 0.05f},
    {"libpng and libvorbis", kName, 33.2f, 0.05f},

    // Ends centred on the screen as the scroll stops (the view's middle reaches y = 40).
    {"thanks for", kHeading, 40.35f, 0.07f},
    {"watching", kHeading, 39.4f, 0.07f},
};

// Font pixel columns a line takes: glyphs advance 6, spaces 4, no gap after the last.
int Columns(const std::string& text) {
    int columns = 0;
    for (size_t i = 0; i < text.size(); ++i) columns += text[i] == ' ' ? 4 : (i + 1 < text.size() ? 6 : 5);
    return columns;
}

// POSITION float3 @0, COLOR0 (B, G, R, A) @12.
compound_file::Model TextModel(const std::string& name, const std::string& text, uint32_t material, float pixel,
                               const std::array<float, 4>& colour) {
    compound_file::Model model;
    model.name = name;
    model.elements = {{3, compound_file::kPosition, 0, 0}, {4, compound_file::kColour, 12, 0}};
    compound_file::Subset subset{material, {}};
    Vec3 low{1e9f, 1e9f, 0}, high{-1e9f, -1e9f, 0};
    auto vertex = [&](float x, float y, float shade) {
        auto byte = [shade](float channel) { return static_cast<uint8_t>(std::lround(channel * shade * 255.0f)); };
        model.AddFloats({x, y, 0.0f});
        model.AddBytes({byte(colour[2]), byte(colour[1]), byte(colour[0]), 255});
        low = {std::min(low.x, x), std::min(low.y, y), 0};
        high = {std::max(high.x, x), std::max(high.y, y), 0};
        return model.vertexCount++;
    };
    int pen = 0;
    for (char c : text) {
        if (c == ' ') {
            pen += 4;
            continue;
        }
        for (int row = 0; row < kGlyphRows; ++row) {
            // Slightly darker towards the baseline, so each line has a little relief.
            const float top = (kGlyphRows - row) * pixel, bottom = top - pixel;
            const float upper = 1.0f - 0.04f * row, lower = 0.96f - 0.04f * row;
            for (int column = 0; column < kGlyphColumns;) {
                if (!GlyphPixel(c, column, row)) {
                    ++column;
                    continue;
                }
                int end = column;
                while (end < kGlyphColumns && GlyphPixel(c, end, row)) ++end;
                const float x0 = (pen + column) * pixel, x1 = (pen + end) * pixel;
                const uint32_t a = vertex(x0, bottom, lower), b = vertex(x1, bottom, lower), d = vertex(x1, top, upper),
                               e = vertex(x0, top, upper);
                subset.indices.insert(subset.indices.end(), {a, b, d, a, d, e});
                column = end;
            }
        }
        pen += 6;
    }
    model.firstExtent = low, model.secondExtent = high;
    model.subsets.push_back(std::move(subset));
    return model;
}

}  // namespace

compound_file::File BuildSceneCreditos() {
    compound_file::File file;
    // Drawn without lighting or blending, in 2D without depth; no culling, the y axis being flipped.
    file.materials.push_back({"CreditsHeading", kAmber, 0, 1, 1, {}});
    file.materials.push_back({"CreditsName", kWhite, 0, 1, 1, {}});
    uint32_t index = 0;
    for (const Line& line : kLines) {
        const int columns = Columns(line.text);
        const float pixel = std::min(line.pixel, kPanelWidth / columns);
        char model[16], node[16];
        std::snprintf(model, sizeof model, "Text%02u", index);
        std::snprintf(node, sizeof node, "Line%02u", index);
        file.models.push_back(
            TextModel(model, line.text, line.material, pixel, line.material == kHeading ? kAmber : kWhite));
        const Vec3 at{kPanelCentre - columns * pixel / 2, line.baseline, 0};
        file.nodes.push_back(placement::ModelNode(node, index, at));
        ++index;
    }
    return file;
}
