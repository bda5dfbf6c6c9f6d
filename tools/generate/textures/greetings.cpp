// The scoreboard's dot-matrix strip: one line of greetings to groups made up
// for this demo, justified over the width with a margin at both ends.
#include <string>
#include <vector>

#include "textures.h"

namespace textures {

Image MakeGreetings() {
    constexpr int kW = 1024, kH = 16, kTop = 4, kMargin = 24;
    const std::vector<std::string> pieces = {
        "GREETINGS TO", "VELVET OHM", "COPPER LANTERN", "NINE OWLS", "DUSTY VECTOR", "KETTLE LOGIC",
        "TIN ORBIT",    "BLUE MARMOT", "PAPER COMET",  "AND EVERYONE STILL WATCHING",
    };
    std::vector<TextMask> masks;
    int textWidth = 0;
    for (const std::string& piece : pieces) {
        masks.push_back(RenderText(piece, 1));
        textWidth += masks.back().width;
    }
    // The space left over goes into the gaps between pieces, each gap marked by a dot in its middle.
    const int gaps = static_cast<int>(pieces.size()) - 1;
    const int spare = kW - 2 * kMargin - textWidth;
    Image image(kW, kH, true, 0xFF000000);
    int pen = kMargin;
    for (size_t p = 0; p < masks.size(); ++p) {
        const TextMask& mask = masks[p];
        for (int y = 0; y < mask.height; ++y)
            for (int x = 0; x < mask.width; ++x)
                if (mask.At(x, y)) image.at(pen + x, kTop + y) = 0xFFFFFFFF;
        pen += mask.width;
        if (static_cast<int>(p) == gaps) break;
        const int gap = spare * static_cast<int>(p + 1) / gaps - spare * static_cast<int>(p) / gaps;
        const int dot = pen + gap / 2 - 1;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) image.at(dot + x, kTop + 3 + y) = 0xFFFFFFFF;
        pen += gap;
    }
    return image;
}

}  // namespace textures
