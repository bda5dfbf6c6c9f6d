#include "live_reload.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "compound/compound.h"
#include "data_check_compounds.h"
#include "data_check_music.h"
#include "data_check_project.h"
#include "data_check_script.h"
#include "data_check_shaders.h"
#include "data_check_textures.h"
#include "live_transport.h"
#include "runtime/demo_player.h"
#include "runtime/project_files.h"
#include "shader/shader_reader.h"

namespace {

constexpr const char* kScriptName = "demo.txt";  // as the demo passes it to LoadScript

// The name after the folder when path is folder + "/" + name + extension.
bool NameIn(const std::string& path, const std::string& folder, const std::string& extension, std::string* name) {
    const std::string prefix = folder + "/";
    if (path.size() <= prefix.size() + extension.size() || path.compare(0, prefix.size(), prefix) != 0 ||
        path.compare(path.size() - extension.size(), extension.size(), extension) != 0)
        return false;
    *name = path.substr(prefix.size(), path.size() - prefix.size() - extension.size());
    return name->find('/') == std::string::npos;
}

bool ReadWhole(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

void LiveReload::Reload(const std::string& path) {
    Findings findings;
    boxes_->Take();  // what came before belongs to no file
    const bool handled = ReloadScript(path, &findings) || ReloadShader(path, &findings) ||
                         ReloadTexture(path, &findings) || ReloadCompound(path, &findings) ||
                         ReloadMusic(path, &findings);
    if (!handled) return;
    ++reloads_;
    SetFaults(path, findings);
    // The script's times are checked against the music's length.
    std::string script;
    if (path == MusicPath() && ReadWhole(kScriptFile, &script)) {
        Findings scriptFindings;
        CheckScript(script, &scriptFindings);
        SetFaults(kScriptFile, scriptFindings);
    }
}

std::string LiveReload::MusicPath() const { return "audio/" + player_->resources->project.files.musicFile; }

void LiveReload::SetFaults(const std::string& path, const Findings& findings) {
    std::vector<std::string> lines;
    for (const std::string& line : findings.Lines())
        if (line.find(": error: ") != std::string::npos) lines.push_back(line);
    if (lines.empty())
        faults_.erase(path);
    else
        faults_[path] = std::move(lines);
}

void LiveReload::CheckScript(const std::string& text, Findings* findings) const {
    const float length = transport_->lengthMs();
    CheckScriptText(kScriptFile, text, length > 0.0f ? static_cast<long>(length) : -1, findings);
    CheckProjectScript(kScriptFile, text, boxes_, findings);
}

std::vector<std::string> LiveReload::FaultLines() const {
    std::vector<std::string> lines;
    for (const auto& [file, faults] : faults_) lines.insert(lines.end(), faults.begin(), faults.end());
    return lines;
}

bool LiveReload::ReloadScript(const std::string& path, Findings* findings) {
    if (path != kScriptFile) return false;
    std::string text;
    // Deleted, or gone for a moment while an editor replaces it: the timeline stays.
    if (!ReadWhole(path, &text)) return true;
    CheckScript(text, findings);
    // Files the script names since the last version load before the scenes look them up.
    const std::string previousMusic = MusicPath();
    LoadNewProjectFiles(player_->resources, ScanProjectScript(kScriptFile));
    boxes_->Take();  // the check above has worded them
    if (MusicPath() != previousMusic) ReloadMusic(MusicPath(), findings);
    ScriptMusic music;
    if (!player_->RebuildTimeline(kScriptName, &music)) return true;
    scriptStartMs_ = music.position;
    MusicTrack& track = player_->resources->music;
    if (track.stream) track.stream->setVolume(music.volume);
    return true;
}

bool LiveReload::ReloadShader(const std::string& path, Findings* findings) {
    std::string name;
    if (!NameIn(path, "shaders", kShaderFileExtension, &name)) return false;
    DemoResources* resources = player_->resources;
    ShaderSlot* slot = resources->ShaderSlotOf(name);
    if (!slot) return false;
    const bool compiled = resources->ReloadShader(slot, name);
    const std::vector<BoxCollector::Box> shown = boxes_->Take();
    for (const BoxCollector::Box& box : shown) ReportShaderBox(path, box, findings);
    if (!compiled && shown.empty()) findings->Error(path, "file", "does not load");
    return true;
}

bool LiveReload::ReloadTexture(const std::string& path, Findings* findings) {
    std::string name;
    if (!NameIn(path, "textures", ".png", &name)) return false;
    DemoResources* resources = player_->resources;
    const int reloaded = resources->ReloadTexture(name + ".png");
    boxes_->Take();  // the loader's message names no file: the check below does
    if (reloaded == 0) return false;
    if (reloaded < 0) {
        TextureCheck textures(findings);
        textures.Report(name + ".png", false, "in use by the player");
    }
    return true;
}

bool LiveReload::ReloadCompound(const std::string& path, Findings* findings) {
    std::string name;
    if (!NameIn(path, "models", ".nc", &name)) return false;
    name += ".nc";
    DemoResources* resources = player_->resources;
    if (Compound* projectSlot = resources->project.CompoundOf(name)) return ReloadProjectCompound(name, projectSlot);
    Compound* slot = resources->CompoundOf(name);
    if (!slot) return false;
    Compound fresh;
    TextureCheck textures(findings);
    // Only a compound that holds every name the scenes and the loading look up
    // goes in: a miss would end the process.
    if (!LoadAndCheckCompound(name, &fresh, boxes_, &textures, findings)) return true;
    // The scenes point into the old compound: they go first and come back
    // from the script.
    player_->DestroyScenes();
    resources->ReplaceCompound(slot, std::move(fresh));
    ScriptMusic music;
    if (player_->RebuildTimeline(kScriptName, &music))
        scriptStartMs_ = music.position;
    return true;
}

bool LiveReload::ReloadProjectCompound(const std::string& name, Compound* slot) {
    Compound fresh;
    // A file that does not load keeps the last good one; the script check words why.
    if (fresh.Load(name) && fresh.datablocks) {
        player_->DestroyScenes();
        *slot = std::move(fresh);
        ScriptMusic music;
        if (player_->RebuildTimeline(kScriptName, &music)) scriptStartMs_ = music.position;
    }
    boxes_->Take();
    return true;
}

bool LiveReload::ReloadMusic(const std::string& path, Findings* findings) {
    if (path != MusicPath()) return false;
    MusicTrack& music = player_->resources->music;
    MusicTrack fresh;
    fresh.SetDevice(music.device);
    if (!fresh.Open(path)) {
        if (MusicLengthMilliseconds(path, findings) >= 0) findings->Error(path, "file", "does not open as music");
        return true;
    }
    const float volume = music.stream ? music.stream->getVolume() : 1.0f;
    if (music.stream) music.stream->stop();
    music.stream = fresh.stream;
    music.stream->setVolume(volume);
    transport_->FollowMusic();
    return true;
}
