#include "data_check_script.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "runtime/project_files.h"
#include "runtime/scene_factory.h"
#include "runtime/script_line.h"
#include "script_lines.h"

namespace {

bool Accepts(const SceneKeyword& c, const std::string& name) {
    for (const std::string& accepted : c.parameters)
        if (accepted == name) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "none" : text;
}

struct ScriptScene {
    const SceneKeyword* sceneClass;
    int line;
    int timeLine = 0;  // 0 until a "time" line
    int start = 0, end = 0;
};

class ScriptReader {
public:
    ScriptReader(const std::string& file, long musicMilliseconds, Findings* findings)
        : file_(file), music_(musicMilliseconds), findings_(findings) {}

    void Read(const std::string& text);

private:
    void Handle(const ScriptLine& line);
    void SceneLine(const ScriptLine& line);
    void ParameterLine(const ScriptLine& line);
    void CommandLine(const ScriptLine& line);
    void CheckTimes();
    void CheckMusicCommands();
    void Error(int line, const std::string& message) { pending_.push_back({line, true, message}); }
    void Warning(int line, const std::string& message) { pending_.push_back({line, false, message}); }
    void Flush();

    // Held back until the whole script is read, so they come out in line order.
    struct Pending {
        int line;
        bool error;
        std::string message;
    };
    std::vector<Pending> pending_;

    std::string file_;
    long music_;
    Findings* findings_;
    std::vector<ScriptScene> scenes_;
    ScriptScene* current_ = nullptr;  // into scenes_, valid until the next scene line
    bool afterUnknownScene_ = false;
    int musicPositionLine_ = 0, musicVolumeLine_ = 0;
    int musicPosition_ = 0;
    float musicVolume_ = 0.0f;
    std::string musicVolumeText_;
};

void ScriptReader::Read(const std::string& text) {
    int number = 0;
    const std::string line = ForEachScriptLine(text, [this](const ScriptLine& whole) { Handle(whole); }, &number);
    // The player only acts on a line when it reaches its line feed.
    if (!line.empty() && line != "\r") Warning(number, "the last line has no line feed and is ignored");
    CheckTimes();
    CheckMusicCommands();
    Flush();
    if (!musicVolumeLine_) findings_->Warning(file_, "!MusicVol", "missing: the music plays at volume 0, silent");
}

void ScriptReader::Flush() {
    std::stable_sort(pending_.begin(), pending_.end(),
                     [](const Pending& a, const Pending& b) { return a.line < b.line; });
    for (const Pending& p : pending_)
        p.error ? findings_->ScriptError(file_, p.line, p.message) : findings_->ScriptWarning(file_, p.line, p.message);
    pending_.clear();
}

void ScriptReader::Handle(const ScriptLine& line) {
    switch (line.text[0]) {
        case '.': SceneLine(line); break;
        case '-': ParameterLine(line); break;
        case '!': CommandLine(line); break;
        default: Warning(line.number, "ignored: not a scene (.), parameter (-) or command (!) line"); break;
    }
}

void ScriptReader::SceneLine(const ScriptLine& line) {
    const SceneKeyword* sceneClass = FindSceneKeyword(line.text);
    if (!sceneClass) {
        Error(line.number, "unknown scene keyword \"" + line.text.substr(1) + "\": the line is ignored");
        // The player drops its current scene here, so the parameters that follow go nowhere.
        current_ = nullptr;
        afterUnknownScene_ = true;
        return;
    }
    const std::string keyword = sceneClass->keyword;
    if (line.text.size() > 1 + keyword.size())
        Warning(line.number, "\"" + line.text.substr(1) + "\" is read as scene " + keyword +
                                 ": the text after the keyword is ignored");
    scenes_.push_back({sceneClass, line.number});
    current_ = &scenes_.back();
    afterUnknownScene_ = false;
}

void ScriptReader::ParameterLine(const ScriptLine& line) {
    if (afterUnknownScene_) return;  // reported with the scene line
    if (!current_) {
        Error(line.number, "parameter line before any scene: ignored");
        return;
    }
    const SceneKeyword& sceneClass = *current_->sceneClass;
    const std::string name = ParameterName(line.text);
    const std::string scene = std::string(sceneClass.keyword) + " (" + sceneClass.className + ", line " +
                              std::to_string(current_->line) + ")";
    if (name.empty()) {
        Error(line.number, "parameter \"" + line.text.substr(1) + "\" has no value after a blank: ignored by " + scene);
        return;
    }
    if (!Accepts(sceneClass, name)) {
        Error(line.number, "unknown parameter \"" + name + "\" for scene " + scene + ", which takes " +
                               Joined(sceneClass.parameters));
        return;
    }
    if (name != "time") return;
    if (current_->timeLine)
        Warning(line.number, "second time line of scene " + scene + " replaces the one on line " +
                                 std::to_string(current_->timeLine));
    current_->timeLine = line.number;
    current_->start = ScriptInt(ScriptField(line.text, 1));
    current_->end = ScriptInt(ScriptField(line.text, 2));
    if (current_->end <= current_->start)
        Error(line.number, "time ends at " + std::to_string(current_->end) + ", not after its start " +
                               std::to_string(current_->start) + ": scene " + scene + " is never drawn");
}

void ScriptReader::CommandLine(const ScriptLine& line) {
    if (MatchesKeyword(line.text, "MusicPos")) {
        musicPositionLine_ = line.number;
        musicPosition_ = ScriptInt(ScriptField(line.text, 1));
    } else if (MatchesKeyword(line.text, "MusicVol")) {
        musicVolumeLine_ = line.number;
        musicVolumeText_ = ScriptField(line.text, 1);
        musicVolume_ = ScriptFloat(musicVolumeText_);
    } else if (MatchesKeyword(line.text, kMusicFileCommand)) {
        // The project check looks for the file.
    } else {
        Warning(line.number, "unknown command \"" + line.text.substr(1) + "\": ignored");
    }
}

void ScriptReader::CheckTimes() {
    for (const ScriptScene& scene : scenes_) {
        const SceneKeyword& c = *scene.sceneClass;
        const std::string name = std::string(c.keyword) + " (" + c.className + ")";
        // Scene_0 takes no parameters at all: it is never meant to be drawn.
        if (!scene.timeLine) {
            if (Accepts(c, "time")) Error(scene.line, "scene " + name + " has no time line: it is never drawn");
            continue;
        }
        if (music_ >= 0 && scene.end > music_)
            Error(scene.timeLine, "scene " + name + " runs to " + std::to_string(scene.end) +
                                      " ms, past the end of the music at " + std::to_string(music_) +
                                      " ms, where the demo stops");
    }
    // Two fades at once darken the picture twice over.
    for (size_t i = 0; i < scenes_.size(); ++i) {
        const ScriptScene& a = scenes_[i];
        if (!a.sceneClass->fade || !a.timeLine || a.end <= a.start) continue;
        for (size_t j = i + 1; j < scenes_.size(); ++j) {
            const ScriptScene& b = scenes_[j];
            if (!b.sceneClass->fade || !b.timeLine || b.end <= b.start) continue;
            if (a.start < b.end && b.start < a.end)
                Error(b.timeLine, std::string("fade ") + b.sceneClass->keyword + " " + std::to_string(b.start) +
                                      ".." + std::to_string(b.end) + " overlaps fade " + a.sceneClass->keyword +
                                      " " + std::to_string(a.start) + ".." + std::to_string(a.end) + " (line " +
                                      std::to_string(a.timeLine) + ")");
        }
    }
}

void ScriptReader::CheckMusicCommands() {
    if (musicVolumeLine_ && musicVolume_ <= 0.0f)
        Warning(musicVolumeLine_, "music volume " + musicVolumeText_ + ": the music is silent");
    if (!musicPositionLine_) return;
    if (musicPosition_ < 0)
        Error(musicPositionLine_, "music position " + std::to_string(musicPosition_) + " ms is before the start");
    else if (music_ >= 0 && musicPosition_ > music_)
        Error(musicPositionLine_, "music position " + std::to_string(musicPosition_) +
                                     " ms is past the end of the music at " + std::to_string(music_) + " ms");
}

}  // namespace

void CheckScriptText(const std::string& file, const std::string& text, long musicMilliseconds, Findings* findings) {
    ScriptReader(file, musicMilliseconds, findings).Read(text);
}

void CheckScript(const std::string& path, long musicMilliseconds, Findings* findings) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        findings->Error(path, "file", "missing: the demo shows its script message and plays nothing");
        return;
    }
    std::stringstream text;
    text << in.rdbuf();
    CheckScriptText(path, text.str(), musicMilliseconds, findings);
}
