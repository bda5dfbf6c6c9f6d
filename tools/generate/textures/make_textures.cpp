// Writes the demo's pictures.
// Usage: make_textures OUTPUT_DIRECTORY
#include <cstdio>
#include <filesystem>

#include "png_writer.h"
#include "textures.h"

namespace {

struct Picture {
    const char* name;
    textures::Image (*make)();
};

const Picture kPictures[] = {
    {"fnt_04b08.png", textures::MakeFontSheet},
    {"tex2dnpt_logo_presentation.png", textures::MakeLogoPresentation},
    {"tex2d_particle_halo.png", textures::MakeParticleHalo},
    {"tex2d_particle_lines.png", textures::MakeParticleLines},
    {"tex2d_backquad.png", textures::MakeBackQuad},
    {"tex2dnpt_greetings.png", textures::MakeGreetings},
    {"tex2dnpt_pimp.png", textures::MakePimp},
    {"tex2dnpt_screen.png", textures::MakeScreen},
    {"tex2d_ball.png", textures::MakeBall},
    {"tex2d_galo_palette.png", textures::MakeGaloPalette},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    for (const Picture& picture : kPictures) {
        const textures::Image image = picture.make();
        const std::string path = (directory / picture.name).string();
        if (!WritePng(path, image.width, image.height, image.pixels, image.alpha)) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
            return 1;
        }
    }
    return 0;
}
