#include "data_check_project.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "compound/compound.h"
#include "data_check_shaders.h"
#include "data_check_textures.h"
#include "gfx2d/named_texture.h"
#include "runtime/project_files.h"
#include "runtime/scene_factory.h"
#include "runtime/script_line.h"
#include "shader/shader.h"
#include "shader/shader_reader.h"
#include "script_lines.h"

namespace {

// One composed scene or layer with its parameter lines.
struct MakerScene {
    std::string keyword;
    int line;
    std::vector<ScriptLine> parameters;
};

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

class ProjectCheck {
public:
    ProjectCheck(const std::string& file, BoxCollector* boxes, Findings* findings)
        : file_(file), boxes_(boxes), findings_(findings) {}

    void Read(const std::string& text);

private:
    void Line(const ScriptLine& line);
    void MusicFile(const ScriptLine& line);
    void CheckScene(const MakerScene& scene);
    void CheckCompoundScene(const MakerScene& scene);
    void CheckLayer(const MakerScene& scene);
    // The file below folder, or null with a finding on line when it is not a
    // plain name or does not load.
    Compound* LoadCompound(const std::string& name, int line);
    bool ShaderCompiles(const std::string& name, int line);
    bool PictureLoads(const std::string& name, int line);
    bool PlainName(const std::string& name, const std::string& what, int line);
    void Error(int line, const std::string& message) { findings_->ScriptError(file_, line, message); }

    std::string file_;
    BoxCollector* boxes_;
    Findings* findings_;
    std::vector<MakerScene> scenes_;
    bool inMakerScene_ = false;
    std::map<std::string, std::unique_ptr<Compound>> compounds_;  // each file loaded once
    std::map<std::string, bool> shaders_, pictures_;
};

void ProjectCheck::Read(const std::string& text) {
    int lastNumber = 0;
    ForEachScriptLine(text, [this](const ScriptLine& line) { Line(line); }, &lastNumber);
    for (const MakerScene& scene : scenes_) CheckScene(scene);
}

void ProjectCheck::Line(const ScriptLine& line) {
    if (line.text[0] == '.') {
        const SceneKeyword* entry = FindSceneKeyword(line.text);
        const std::string keyword = entry ? entry->keyword : "";
        inMakerScene_ = keyword == kCompoundKeyword || keyword == kLayerKeyword;
        if (inMakerScene_) scenes_.push_back({keyword, line.number, {}});
    } else if (line.text[0] == '-' && inMakerScene_) {
        scenes_.back().parameters.push_back(line);
    } else if (line.text[0] == '!' && MatchesKeyword(line.text, kMusicFileCommand)) {
        MusicFile(line);
    }
}

void ProjectCheck::MusicFile(const ScriptLine& line) {
    const std::string name = ScriptField(line.text, 1);
    if (!PlainName(name, "music file", line.number)) return;
    if (!Exists("audio/" + name)) Error(line.number, "music file audio/" + name + " is missing");
}

bool ProjectCheck::PlainName(const std::string& name, const std::string& what, int line) {
    if (IsPlainFileName(name)) return true;
    Error(line, what + " \"" + name +
                    "\" is not a plain file name (letters, digits, '_', '-', '.'; no folders): the line is ignored");
    return false;
}

void ProjectCheck::CheckScene(const MakerScene& scene) {
    if (scene.keyword == kCompoundKeyword)
        CheckCompoundScene(scene);
    else
        CheckLayer(scene);
}

Compound* ProjectCheck::LoadCompound(const std::string& name, int line) {
    if (!PlainName(name, "compound file", line)) return nullptr;
    auto found = compounds_.find(name);
    if (found == compounds_.end()) {
        auto compound = std::make_unique<Compound>();
        boxes_->Take();
        if (!Exists("models/" + name) || !compound->Load(name) || !compound->datablocks) {
            std::string why = Exists("models/" + name) ? "does not load" : "is missing";
            for (const BoxCollector::Box& box : boxes_->Take()) why += ": " + box.text;
            Error(line, "compound file models/" + name + " " + why);
            compound.reset();
        }
        found = compounds_.emplace(name, std::move(compound)).first;
    }
    return found->second.get();
}

bool ProjectCheck::ShaderCompiles(const std::string& name, int line) {
    if (!PlainName(name, "shader file", line)) return false;
    const std::string path = "shaders/" + name + kShaderFileExtension;
    auto found = shaders_.find(name);
    if (found == shaders_.end()) {
        boxes_->Take();
        Shader* shader = nullptr;
        const bool loaded = zkLoadShader(shader, name) && shader;
        zkReleaseShader(shader);
        Findings why;
        for (const BoxCollector::Box& box : boxes_->Take()) ReportShaderBox(path, box, &why);
        if (!loaded) {
            std::string message = "shader " + path + " does not load";
            for (const std::string& reason : why.Lines()) message += "; " + reason;
            Error(line, message);
        }
        found = shaders_.emplace(name, loaded).first;
    }
    return found->second;
}

bool ProjectCheck::PictureLoads(const std::string& name, int line) {
    if (!PlainName(name, "picture", line)) return false;
    auto found = pictures_.find(name);
    if (found == pictures_.end()) {
        NamedTexture texture;
        const bool loaded = texture.Load(name);
        boxes_->Take();
        if (!loaded)
            Error(line, "picture textures/" + name + (Exists("textures/" + name) ? " does not decode as a PNG picture"
                                                                                  : " is missing"));
        found = pictures_.emplace(name, loaded).first;
    }
    return found->second;
}

template <typename Instances>
bool HasNamed(const std::string& name, const Instances& list) {
    return std::any_of(list.begin(), list.end(), [&](const auto& item) { return item.node->name == name; });
}

void ProjectCheck::CheckCompoundScene(const MakerScene& scene) {
    const ScriptLine* fileLine = nullptr;
    for (const ScriptLine& line : scene.parameters)
        if (ParameterName(line.text) == "file") fileLine = &line;
    if (!fileLine) {
        Error(scene.line, "composed scene has no file line: it draws nothing");
        return;
    }
    Compound* compound = LoadCompound(ScriptField(fileLine->text, 1), fileLine->number);
    const std::string in = " is not in models/" + ScriptField(fileLine->text, 1);
    if (compound && compound->cameraInstances.empty())
        Error(fileLine->number, "models/" + ScriptField(fileLine->text, 1) + " has no camera to draw through");
    for (const ScriptLine& line : scene.parameters) {
        const std::string name = ParameterName(line.text), value = ScriptField(line.text, 1);
        if (name == "shader") {
            const bool material =
                value == "*" || !compound ||
                std::any_of(compound->datablocks->materials.begin(), compound->datablocks->materials.end(),
                            [&](const auto& m) { return m->name == value; });
            if (!material) Error(line.number, "material \"" + value + "\"" + in);
            ShaderCompiles(ScriptField(line.text, 2), line.number);
        }
        if (!compound) continue;
        if (name == "camera" && !HasNamed(value, compound->cameraInstances))
            Error(line.number, "camera \"" + value + "\"" + in);
        if (name == "halo" && !HasNamed(value, compound->lightInstances))
            Error(line.number, "light \"" + value + "\"" + in);
    }
}

void ProjectCheck::CheckLayer(const MakerScene& scene) {
    bool shows = false;
    for (const ScriptLine& line : scene.parameters) {
        const std::string name = ParameterName(line.text);
        if (name == "picture") PictureLoads(ScriptField(line.text, 1), line.number);
        shows = shows || name == "picture" || name == "text";
    }
    if (!shows) Error(scene.line, "layer has neither a picture nor a text line: it draws nothing");
}

}  // namespace

void CheckProjectScript(const std::string& file, const std::string& text, BoxCollector* boxes, Findings* findings) {
    ProjectCheck(file, boxes, findings).Read(text);
}

void CheckProjectScriptFile(const std::string& path, BoxCollector* boxes, Findings* findings) {
    std::ifstream in(path, std::ios::binary);
    if (in) CheckProjectScript(path, std::string(std::istreambuf_iterator<char>(in), {}), boxes, findings);
}

void CheckProjectEngineFiles(BoxCollector* boxes, Findings* findings) {
    TextureCheck textures(findings);
    for (const char* name : {"tex2dnpt_logo_presentation.png", "fnt_04b08.png", "tex2d_particle_halo.png",
                             "tex2d_particle_lines.png"}) {
        NamedTexture texture;
        const bool loaded = texture.Load(name);
        boxes->Take();
        textures.Report(name, loaded, "loaded for every project");
    }
    const std::string blur = std::string("shaders/zkBlurShader") + kShaderFileExtension;
    boxes->Take();
    Shader* shader = nullptr;
    zkLoadShader(shader, "zkBlurShader");
    for (const BoxCollector::Box& box : boxes->Take()) ReportShaderBox(blur, box, findings);
    if (!shader && !Exists(blur)) findings->Error(blur, "file", "missing, loaded for every project for the bloom");
    zkReleaseShader(shader);
}
