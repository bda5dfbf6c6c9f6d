#include "data_check_textures.h"

#include <filesystem>
#include <vector>

#include "gfx2d/named_texture.h"

namespace {

struct NamedInCode {
    const char* name;
    const char* by;
};

const std::vector<NamedInCode>& PicturesNamedInCode() {
    static const std::vector<NamedInCode> pictures = {
        {"tex2dnpt_logo_presentation.png", "the loading"}, {"fnt_04b08.png", "the loading"},
        {"tex2d_particle_halo.png", "the loading"},        {"tex2d_particle_lines.png", "the loading"},
        {"tex2d_backquad.png", "the loading"},             {"tex2dnpt_pimp.png", "the loading"},
        {"tex2dnpt_greetings.png", "the loading"},         {"tex2dnpt_screen.png", "the configuration screen"},
    };
    return pictures;
}

}  // namespace

void TextureCheck::CheckNamedInCode(BoxCollector* boxes) {
    for (const NamedInCode& picture : PicturesNamedInCode()) {
        NamedTexture texture;
        const bool loaded = texture.Load(picture.name);
        boxes->Take();  // "Unable to load the texture" names no file: the finding does
        Report(picture.name, loaded, std::string("named by ") + picture.by);
    }
}

void TextureCheck::Report(const std::string& name, bool loaded, const std::string& referrer) {
    if (loaded || !reported_.insert(name).second) return;
    const std::string file = "textures/" + name;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        findings_->Error(file, "file", "missing, " + referrer);
    else
        findings_->Error(file, "file", "does not decode as a PNG picture, " + referrer);
}
