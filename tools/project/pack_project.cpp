#include "pack_project.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kDataFolders[] = {"scripts", "shaders", "textures", "models", "audio"};

bool CopyData(const fs::path& project, const fs::path& out, std::string* error) {
    std::error_code failure;
    for (const char* folder : kDataFolders) {
        fs::create_directories(out / folder, failure);
        if (failure) break;
        for (const fs::directory_entry& entry : fs::directory_iterator(project / folder, failure)) {
            // A link could point anywhere; only the project's own files travel.
            if (entry.is_symlink(failure) || !entry.is_regular_file(failure)) continue;
            if (!fs::copy_file(entry.path(), out / folder / entry.path().filename(), failure)) break;
        }
        if (failure) break;
    }
    if (!failure) return true;
    *error = "cannot copy the project's data into " + out.string() + ": " + failure.message();
    return false;
}

}  // namespace

std::string ReleaseNotes(const std::string& demoName) {
    return "Running this demo\n"
           "\n"
           "It runs on Linux with OpenGL. On Debian 12, install once:\n"
           "\n"
           "  sudo apt-get install libsdl2-2.0-0 libepoxy0 libvorbisfile3 libpng16-16 libgl1 libgl1-mesa-dri\n"
           "\n"
           "then start it from anywhere:\n"
           "\n"
           "  ./" + demoName + "\n"
           "\n"
           "Pick a resolution on the first screen and press Run. Escape ends the demo; holding A shows\n"
           "the frame rate. The data files lie beside the program, in scripts/, shaders/, textures/,\n"
           "models/ and audio/.\n";
}

bool WriteRelease(const std::string& project, const std::string& demoBinary, const std::string& out,
                  std::string* error) {
    const fs::path release = out;
    std::error_code failure;
    if (fs::exists(release, failure) && !fs::is_empty(release, failure)) {
        *error = out + " is not empty";
        return false;
    }
    fs::create_directories(release, failure);
    const std::string demoName = fs::path(demoBinary).filename().string();
    if (!failure) fs::copy_file(demoBinary, release / demoName, failure);
    if (failure) {
        *error = "cannot copy the demo program " + demoBinary + " into " + out + ": " + failure.message();
        return false;
    }
    if (!CopyData(project, release, error)) return false;
    std::ofstream notes(release / kReleaseNotesName, std::ios::binary);
    notes << ReleaseNotes(demoName);
    if (notes) return true;
    *error = "cannot write " + (release / kReleaseNotesName).string();
    return false;
}

std::string CommandDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/'));
}

int RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        execvp(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
