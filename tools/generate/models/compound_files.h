// The demo's compound files, one builder per file.
#pragma once

#include <vector>

#include "compound/compound_writer.h"

// Texture u of the swatches in "tex2d_galo_palette.png" (v anywhere in 0..1).
namespace palette {
constexpr float kCream = 0.0625f, kRust = 0.1875f, kTailGreen = 0.3125f, kCombRed = 0.4375f,
                kBeakYellow = 0.5625f, kEyeBlack = 0.6875f, kWingBronze = 0.8125f, kWhite = 0.9375f;
}

compound_file::File BuildGalo();
compound_file::File BuildScene1Bar();
compound_file::File BuildScene2Stage();
compound_file::File BuildScene3Celos();
compound_file::File BuildScene4Stage();
compound_file::File BuildScene4AuxLights();
compound_file::File BuildScene5Stage();
compound_file::File BuildScene6();
compound_file::File BuildScene7Padroes();
compound_file::File BuildScene8Placar();
compound_file::File BuildScene9Stage();
compound_file::File BuildSceneCubemap();
compound_file::File BuildSceneCreditos();

struct CompoundFile {
    const char* name;
    compound_file::File (*build)();
};
const std::vector<CompoundFile>& CompoundFiles();
