#include "runtime/project_assets.h"

#include <functional>

#include "compound/compound.h"
#include "gfx2d/named_texture.h"
#include "runtime/demo_resources.h"
#include "shader/shader.h"

namespace {

template <typename T>
T* Find(const NamedAssets<T>& assets, const std::string& name) {
    for (const auto& [assetName, asset] : assets)
        if (assetName == name) return asset.get();
    return nullptr;
}

// The logo stays at the loading screen's last stage while the files load.
void LoadingFrame(DemoResources* resources) {
    float progress = 0.9f;
    resources->LoadingStep(&progress, 0.9f);
}

void LoadEngineAssets(DemoResources* r) {
    r->fontTexture.Load("fnt_04b08.png");
    r->fontTexture.magnification = r->fontTexture.minification = 0;
    r->font.texture = &r->fontTexture;
    r->haloTexture.Load("tex2d_particle_halo.png");
    r->lineTexture.Load("tex2d_particle_lines.png");
    r->haloSprites.spriteTexture = &r->haloTexture;
    for (NamedTexture* target : {&r->target3, &r->target4}) {
        target->texture = zkCreateTexture(kTextureRenderTarget | kTextureR8G8B8 | kTexture2D, 512, 512);
        target->magnification = target->minification = 1;
    }
    zkLoadShader(r->blurShader.shader, "zkBlurShader");
}

}  // namespace

ProjectAssets::ProjectAssets() = default;
ProjectAssets::~ProjectAssets() = default;

Compound* ProjectAssets::CompoundOf(const std::string& name) const { return Find(compounds, name); }
ShaderSlot* ProjectAssets::ShaderOf(const std::string& name) const { return Find(shaders, name); }
NamedTexture* ProjectAssets::PictureOf(const std::string& name) const { return Find(pictures, name); }

void ProjectAssets::TexturesOf(const std::string& fileName, std::vector<NamedTexture*>* users) const {
    for (const auto& [name, picture] : pictures)
        if (name == fileName) users->push_back(picture.get());
    for (const auto& [name, compound] : compounds)
        if (compound->datablocks)
            for (const auto& texture : compound->datablocks->textures)
                if (texture->name == fileName) users->push_back(texture.get());
}

namespace {

// Each file of files that project does not hold yet; frame after each.
void LoadMissing(DemoResources* r, const ProjectFiles& files, const std::function<void()>& frame) {
    ProjectAssets& project = r->project;
    for (const std::string& name : files.shaders)
        if (!project.ShaderOf(name)) {
            project.shaders.emplace_back(name, std::make_unique<ShaderSlot>());
            zkLoadShader(project.shaders.back().second->shader, name);
            frame();
        }
    for (const std::string& name : files.pictures)
        if (!project.PictureOf(name)) {
            project.pictures.emplace_back(name, std::make_unique<NamedTexture>());
            project.pictures.back().second->Load(name);
            frame();
        }
    for (const std::string& name : files.compounds)
        if (!project.CompoundOf(name)) {
            project.compounds.emplace_back(name, std::make_unique<Compound>());
            project.compounds.back().second->Load(name);
            frame();
        }
}

}  // namespace

void LoadProjectAssets(DemoResources* r) {
    if (!r->project.files.originalScenes) LoadEngineAssets(r);
    LoadMissing(r, r->project.files, [r] { LoadingFrame(r); });
}

void LoadNewProjectFiles(DemoResources* r, const ProjectFiles& files) {
    LoadMissing(r, files, [] {});
    r->project.files = files;
}
