#include "new_project.h"

#include <filesystem>
#include <fstream>

#include "ogg_writer.h"
#include "project_models.h"
#include "tune.h"

namespace fs = std::filesystem;

namespace {

// What every project loads, and the rooster's palette.
constexpr const char* kEnginePictures[] = {"tex2dnpt_logo_presentation.png", "fnt_04b08.png",
                                           "tex2d_particle_halo.png", "tex2d_particle_lines.png",
                                           "tex2d_galo_palette.png"};

bool WriteFile(const fs::path& path, const std::string& bytes, std::string* error) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) return true;
    *error = "cannot write " + path.string();
    return false;
}

bool CopyEngineFiles(const fs::path& engine, const fs::path& project, std::string* error) {
    std::error_code failure;
    for (const fs::directory_entry& entry : fs::directory_iterator(engine / "shaders", failure))
        if (entry.path().extension() == ".fx" &&
            !fs::copy_file(entry.path(), project / "shaders" / entry.path().filename(), failure))
            break;
    for (const char* name : kEnginePictures) {
        if (failure) break;
        fs::copy_file(engine / "textures" / name, project / "textures" / name, failure);
    }
    if (!failure) return true;
    *error = "cannot copy the engine's files from " + engine.string() + ": " + failure.message();
    return false;
}

}  // namespace

std::string NewProjectScript() {
    return "!MusicFile tune.ogg\n"
           "!MusicVol 0.8\n"
           "!MusicPos 0\n"
           ".Compound\n"
           "-time 0 9000\n"
           "-file spinner.nc\n"
           "-camera Orbit\n"
           "-shader * zkLFShader\n"
           "-fog 0\n"
           "-speed 0.5\n"
           "-loop 0 100\n"
           "-clear 0.05 0.06 0.12\n"
           "-halo Key 14\n"
           ".IFTB\n"
           "-time 0 1500\n"
           ".Layer\n"
           "-time 500 5000\n"
           "-text \"A NEW DEMO\"\n"
           "-size 3\n"
           "-fade 1000 1000\n"
           ".Compound\n"
           "-time 9000 19000\n"
           "-file rooster.nc\n"
           "-shader Galo zkLSShader\n"
           "-speed 1.5\n"
           "-loop 1 60\n"
           "-bloom 2\n"
           "-clear 0.12 0.05 0.1\n"
           ".Layer\n"
           "-time 13000 17500\n"
           "-text \"made with halcyon\"\n"
           "-rect 0 380 640 80\n"
           "-colour 1 0.8 0.4\n"
           "-fade 500 1000\n"
           ".FTB\n"
           "-time 17000 19000\n";
}

bool WriteNewProject(const std::string& directory, const std::string& engineDir, std::string* error) {
    const fs::path project = directory;
    std::error_code failure;
    if (fs::exists(project, failure) && !fs::is_empty(project, failure)) {
        *error = directory + " is not empty";
        return false;
    }
    for (const char* folder : {"scripts", "shaders", "textures", "models", "audio"})
        if (!fs::create_directories(project / folder, failure) && failure) {
            *error = "cannot make " + (project / folder).string() + ": " + failure.message();
            return false;
        }
    if (!CopyEngineFiles(engineDir, project, error)) return false;
    if (!WriteFile(project / "models" / "spinner.nc", compound_file::Write(BuildSpinner()), error) ||
        !WriteFile(project / "models" / "rooster.nc", compound_file::Write(BuildRooster()), error) ||
        !WriteFile(project / "scripts" / "demo.txt", NewProjectScript(), error))
        return false;
    const std::string tune = (project / "audio" / "tune.ogg").string();
    const double seconds = kNewProjectSeconds;
    if (!WriteOgg(tune, kTuneRate, 2, static_cast<long>(seconds * kTuneRate),
                  [seconds](long frame, int channel) { return TuneSample(frame, channel, seconds); })) {
        *error = "cannot write " + tune;
        return false;
    }
    return true;
}
