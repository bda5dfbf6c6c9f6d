// The files a script's maker lines name: the music file, the compounds, the
// shaders and the pictures of composed scenes. Read before the loading, so
// they load with everything else.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

constexpr const char* kOriginalMusicFile = "amber-meadow_tune.ogg";

// The defaults are the original demo's: its music and its fixed assets.
struct ProjectFiles {
    std::string musicFile = kOriginalMusicFile;  // below audio/
    // A scene line of the original's classes (fades aside): its fixed assets load.
    bool originalScenes = true;
    std::vector<std::string> compounds;  // below models/, each once, in script order
    std::vector<std::string> shaders;    // below shaders/, without the extension
    std::vector<std::string> pictures;   // below textures/
};

// Data file names in scripts stay inside their folder: letters, digits,
// '_', '-' and '.', not starting with '.', at most 100 bytes.
bool IsPlainFileName(const std::string& name);

// Every line up to the last line feed, as the script reader takes them;
// names that are not plain file names are left out (the data check reports them).
ProjectFiles ScanProjectFiles(std::FILE* file);
// The same for the script at path; the defaults when it does not open.
ProjectFiles ScanProjectScript(const std::string& path);

// The maker's lines and parameters, for the script reader and the data check.
constexpr const char* kMusicFileCommand = "MusicFile";
constexpr const char* kCompoundKeyword = "Compound";
constexpr const char* kLayerKeyword = "Layer";
