#include "runtime/project_files.h"

#include <algorithm>

#include "backend/file_open.h"
#include "runtime/scene_factory.h"
#include "runtime/script_line.h"

namespace {

void AddOnce(std::vector<std::string>* names, const std::string& name) {
    if (IsPlainFileName(name) && std::find(names->begin(), names->end(), name) == names->end())
        names->push_back(name);
}

class Scanner {
public:
    explicit Scanner(ProjectFiles* files) : files_(files) {}

    void Line(const std::string& line) {
        if (line[0] == '.') {
            const SceneKeyword* entry = FindSceneKeyword(line);
            scene_ = entry ? entry->keyword : "";
            if (entry && !entry->fade && !IsMakerKeyword(scene_)) files_->originalScenes = true;
        } else if (line[0] == '-') {
            Parameter(ParameterName(line), line);
        } else if (line[0] == '!' && MatchesKeyword(line, kMusicFileCommand)) {
            const std::string name = ScriptField(line, 1);
            if (IsPlainFileName(name)) files_->musicFile = name;
        }
    }

private:
    static bool IsMakerKeyword(const std::string& keyword) {
        return keyword == kCompoundKeyword || keyword == kLayerKeyword;
    }

    void Parameter(const std::string& name, const std::string& line) {
        if (scene_ == kCompoundKeyword && name == "file") AddOnce(&files_->compounds, ScriptField(line, 1));
        if (scene_ == kCompoundKeyword && name == "shader") AddOnce(&files_->shaders, ScriptField(line, 2));
        if (scene_ == kLayerKeyword && name == "picture") AddOnce(&files_->pictures, ScriptField(line, 1));
    }

    ProjectFiles* files_;
    std::string scene_;
};

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > 100 || name[0] == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               c == '-' || c == '.';
    });
}

ProjectFiles ScanProjectFiles(std::FILE* file) {
    ProjectFiles files;
    files.originalScenes = false;
    Scanner scanner(&files);
    std::string line;
    for (int byte; (byte = std::fgetc(file)) != EOF;) {
        if (byte != '\n') {
            line += static_cast<char>(byte);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) scanner.Line(line);
        line.clear();
    }
    return files;
}

ProjectFiles ScanProjectScript(const std::string& path) {
    std::FILE* file = OpenDataFile(path, "rb");
    if (!file) return {};
    ProjectFiles files = ScanProjectFiles(file);
    std::fclose(file);
    return files;
}
