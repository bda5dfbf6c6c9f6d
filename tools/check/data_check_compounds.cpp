#include "data_check_compounds.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "compound/compound.h"

namespace {

// A name looked up by code, and who looks it up.
struct Wanted {
    std::string name;
    std::string by;
};

struct CameraSpan {
    std::string camera;
    float last;  // the keys must run from 0 to here
    std::string by;
};

struct CompoundFile {
    const char* name;  // as the loading passes it to Compound::Load
    std::vector<Wanted> materials, cameras, models, armatures, nodes;
    std::vector<CameraSpan> cameraSpans;
};

std::vector<Wanted> Numbered(const char* format, int count, const std::string& by) {
    std::vector<Wanted> names;
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, format, i);
        names.push_back({name, by});
    }
    return names;
}

const std::vector<CompoundFile>& CompoundFiles() {
    const std::string loading = "the loading";
    static const std::vector<CompoundFile> files = {
        {"scene_1_bar.nc", {{"LetrasBar", loading}}, {{"Bar", "scenes ID1, ID3"}}, {}, {}, {}, {}},
        {"scene_2_stage.nc", {}, {{"Rim", "scene ID2"}}, {}, {}, {}, {}},
        {"galo.nc",
         {{"Galo", loading}},
         {},
         {},
         {{"Arm.Galo", "the rooster's skinning"}},
         {{"galo002", "scenes ID7, ID8"}},
         {}},
        {"scene_3_celos.nc", {{"Celos", loading}}, {{"Celos", "scene ID3"}}, {}, {}, {}, {}},
        {"scene_4_stage.nc",
         {{"R2", loading}, {"BlueFloor", loading}},
         {{"ID4", "scene ID4"}},
         Numbered("x%d", 12, "scene ID4"),
         {},
         {},
         {}},
        {"scene_5_stage.nc", {}, {{"ID5", "scenes ID5, IDA5"}}, {}, {}, {}, {}},
        {"scene_6.nc", {{"Brilhante", loading}}, {{"ID6", "scene ID6"}}, {}, {}, {{"Sphere", "scene ID6"}}, {}},
        {"scene_creditos.nc", {}, {}, {}, {}, {}, {}},
        {"scene_7_padroes.nc",
         {{"BlueFloor", loading}, {"R2", loading}},
         {{"ID7", "scene ID7"}},
         Numbered("p%d", 22, "scene ID7"),
         {},
         {},
         {}},
        {"scene_8_placar.nc", {{"Bolas", loading}}, {{"ID8", "scene ID8"}}, {}, {}, {}, {{"ID8", 500, "scene ID8"}}},
        {"scene_9_stage.nc",
         {{"BlueFloor", loading}, {"R2", loading}},
         {{"ID9", "scene ID9"}},
         Numbered("c%d", 6, "scene ID9"),
         {},
         {},
         {{"ID9", 630, "scene ID9"}}},
        {"scene_cubemap.nc", {{"RZ1", loading}, {"RZ2", loading}}, {}, {}, {}, {}, {}},
        {"scene_4_aux_lights.nc", {}, {}, {}, {}, {}, {}},
    };
    return files;
}

constexpr float kRoosterLastFrame = 350.0f;  // the rooster's walk cycle runs to this key time

template <typename List>
bool HasNamed(const List& list, const std::string& name) {
    for (const auto& item : list)
        if (item->name == name) return true;
    return false;
}

// As GetCamera finds it: the placement latest in the file.
const Node* CameraNode(const Compound& compound, const std::string& name) {
    for (const CameraInstance& instance : compound.cameraInstances)
        if (instance.node->name == name) return instance.node;
    return nullptr;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool IsNumber(const std::string& word) {
    if (word.empty()) return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// The loader's text is "<path>: <record> <fault>", the record "header" or
// "<kind> <index>"; it becomes the finding's record and message.
void ReportLoadFailure(const std::string& file, const std::string& text, Findings* findings) {
    std::string rest = text;
    const size_t colon = rest.find(": ");
    if (colon != std::string::npos && rest.compare(0, 7, "models\\") == 0) rest = rest.substr(colon + 2);
    const size_t first = rest.find(' ');
    std::string record = "file";
    if (first != std::string::npos) {
        const size_t second = rest.find(' ', first + 1);
        if (rest.compare(0, first, "header") == 0) {
            record = "header";
            rest = rest.substr(first + 1);
        } else if (second != std::string::npos && IsNumber(rest.substr(first + 1, second - first - 1))) {
            record = rest.substr(0, second);
            rest = rest.substr(second + 1);
        }
    }
    findings->Error(file, record, "does not load: " + rest);
}

void CheckNames(const std::string& file, const Compound& compound, const CompoundFile& wanted, Findings* findings) {
    const DatablockLists& lists = *compound.datablocks;
    auto missing = [&](const std::string& kind, const Wanted& item) {
        findings->Error(file, kind + " " + item.name,
                        "missing: " + item.by + " looks it up, and a miss ends the demo");
    };
    for (const Wanted& item : wanted.materials)
        if (!HasNamed(lists.materials, item.name)) missing("material", item);
    for (const Wanted& item : wanted.cameras)
        if (!CameraNode(compound, item.name)) missing("camera", item);
    for (const Wanted& item : wanted.models)
        if (!HasNamed(lists.models, item.name)) missing("model", item);
    for (const Wanted& item : wanted.armatures)
        if (!HasNamed(lists.armatures, item.name)) missing("armature", item);
    for (const Wanted& item : wanted.nodes)
        if (!HasNamed(lists.nodes, item.name)) missing("node", item);
}

void CheckAnimation(const std::string& file, const Compound& compound, const CompoundFile& wanted,
                    Findings* findings) {
    for (const CameraSpan& span : wanted.cameraSpans) {
        const Node* node = CameraNode(compound, span.camera);
        if (!node) continue;  // reported as missing
        const std::string record = "camera " + span.camera;
        if (!node->track || node->track->keys.empty()) {
            findings->Warning(file, record, "has no animation track: it stands still while " + span.by + " plays");
            continue;
        }
        const float first = node->track->keys.front().time, last = node->track->keys.back().time;
        if (first > 0.0f || last < span.last)
            findings->Warning(file, record,
                              "keys span " + Number(first) + ".." + Number(last) + ", not 0.." + Number(span.last) +
                                  " that " + span.by + " plays");
    }
    for (const Wanted& item : wanted.armatures)
        for (const auto& armature : compound.datablocks->armatures) {
            if (armature->name != item.name) continue;
            if (armature->keys.empty())
                findings->Warning(file, "armature " + item.name, "has no keys: the rooster does not move");
            else if (armature->keys.back().time < kRoosterLastFrame)
                findings->Warning(file, "armature " + item.name,
                                  "keys end at " + Number(armature->keys.back().time) + ", before " +
                                      Number(kRoosterLastFrame) + " that the rooster's walk reaches");
            break;  // the lookup takes the first
        }
}

}  // namespace

bool LoadAndCheckCompound(const std::string& name, Compound* compound, BoxCollector* boxes, TextureCheck* textures,
                          Findings* findings) {
    const std::string file = "models/" + name;
    const int errorsBefore = findings->errors();
    const CompoundFile* wanted = nullptr;
    for (const CompoundFile& known : CompoundFiles())
        if (name == known.name) wanted = &known;
    if (!wanted) {
        findings->Error(file, "file", "not a compound file the demo loads");
        return false;
    }
    boxes->Take();
    const bool loaded = compound->Load(name);
    for (const BoxCollector::Box& box : boxes->Take()) {
        if (box.caption == "zkLoadTexture Error") continue;  // names no file: the texture scan does
        if (box.text == "Compound file not found!")
            findings->Error(file, "file", "missing");
        else if (box.caption == "Compound::Load(...)")
            ReportLoadFailure(file, box.text, findings);
        else
            findings->Error(file, box.caption, box.text);
    }
    if (!loaded || !compound->datablocks) {
        if (findings->errors() == errorsBefore) findings->Error(file, "file", "does not load");
        return false;
    }
    const DatablockLists& lists = *compound->datablocks;
    for (size_t i = 0; i < lists.textures.size(); ++i)
        textures->Report(lists.textures[i]->name, lists.textures[i]->texture != nullptr,
                         "referred to by " + file + " (texture " + std::to_string(i) + ")");
    CheckNames(file, *compound, *wanted, findings);
    CheckAnimation(file, *compound, *wanted, findings);
    return findings->errors() == errorsBefore;
}

void CheckCompounds(BoxCollector* boxes, TextureCheck* textures, Findings* findings) {
    for (const CompoundFile& wanted : CompoundFiles()) {
        Compound compound;
        LoadAndCheckCompound(wanted.name, &compound, boxes, textures, findings);
    }
}
