// The files a project's script names, owned for the whole run beside the
// original's fixed assets.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/project_files.h"

class Compound;
class NamedTexture;
struct DemoResources;
struct ShaderSlot;

template <typename T>
using NamedAssets = std::vector<std::pair<std::string, std::unique_ptr<T>>>;

struct ProjectAssets {
    ProjectAssets();
    ~ProjectAssets();
    ProjectAssets(const ProjectAssets&) = delete;
    ProjectAssets& operator=(const ProjectAssets&) = delete;

    // By the name the script gives; null when the script names no such file.
    // A file that failed to load is there, empty.
    Compound* CompoundOf(const std::string& name) const;
    ShaderSlot* ShaderOf(const std::string& name) const;
    NamedTexture* PictureOf(const std::string& name) const;
    // Adds every texture loaded from the file, the compounds' own included.
    void TexturesOf(const std::string& fileName, std::vector<NamedTexture*>* users) const;

    ProjectFiles files;
    // A name a composed scene misses ends the demo, as the engine's lookups
    // do; tools that play the data while it is edited play on instead.
    bool missingEndsTheDemo = true;
    NamedAssets<ShaderSlot> shaders;
    NamedAssets<NamedTexture> pictures;
    NamedAssets<Compound> compounds;
};

// What a project without the original's scenes still needs of the engine's
// own assets (the font, the halo sprites, the bloom targets and blur), then
// every file of resources->project.files, one loading-screen frame after each.
void LoadProjectAssets(DemoResources* resources);
// For tools that play the data while it is edited: the files of files not
// loaded yet are loaded, without loading-screen frames, and files becomes the list.
void LoadNewProjectFiles(DemoResources* resources, const ProjectFiles& files);
