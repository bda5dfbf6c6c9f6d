#include "data_check_shaders.h"

#include <cstring>
#include <string>
#include <vector>

#include "backend/gl_stage_link.h"
#include "shader/shader.h"
#include "shader/shader_reader.h"

namespace {

struct SetParameter {
    const char* name;
    const char* setBy;
};

struct ShaderFile {
    const char* name;  // as the loading passes it to zkLoadShader
    std::vector<SetParameter> parameters;
};

const std::vector<ShaderFile>& ShaderFiles() {
    static const std::vector<ShaderFile> files = {
        {"zkNLShader", {}},
        {"zkLFShader", {{"zk_ZFogValue", "the loading and scenes ID1, ID2"}, {"u_val", "scene ID1"}}},
        {"zkLSShader", {{"zk_BoneMatrix", "the rooster's skinning"}}},
        {"zkDLV_CubeMap", {}},
        {"zkBlurShader", {{"settings", "the bloom passes"}}},
        {"zkFloorShader", {{"alpha", "scene ID7"}}},
        {"zkDisplayShader", {{"zk_ZFogValue", "scene ID8"}, {"zk_ZFogDist", "scene ID8"}, {"greetings_x", "scene ID8"}}},
    };
    return files;
}

// The engine's messages start with the path it opened, with Windows separators.
std::string WithoutPath(const std::string& text) {
    const size_t colon = text.find(": ");
    if (colon != std::string::npos && text.compare(0, 8, "shaders\\") == 0) return text.substr(colon + 2);
    return text;
}

}  // namespace

void ReportShaderBox(const std::string& file, const BoxCollector::Box& box, Findings* findings) {
    if (box.caption == "zkReadShader")
        findings->Error(file, "file", box.text == "Shader not found!" ? "missing" : WithoutPath(box.text));
    else if (box.caption == "HLSL VertexShader Compile Failure")
        findings->Error(file, "vertex shader", "does not compile: " + box.text);
    else if (box.caption == "HLSL PixelShader Compile Failure" && box.text.rfind(kStagesDoNotLink, 0) == 0)
        findings->Error(file, "vertex and pixel shader",
                        "do not link: " + box.text.substr(std::strlen(kStagesDoNotLink)));
    else if (box.caption == "HLSL PixelShader Compile Failure")
        findings->Error(file, "pixel shader", "does not compile: " + box.text);
    else if (box.caption == "zkCompileShader")
        findings->Error(file, "vertex profile", WithoutPath(box.text));
    else
        findings->Error(file, box.caption, box.text);
}

namespace {

bool Uses(const Shader& shader, const char* name) {
    for (ID3DXConstantTable* table : {shader.vertexConstants, shader.pixelConstants})
        if (table && table->GetConstantByName(nullptr, name)) return true;
    return false;
}

}  // namespace

void CheckShaders(BoxCollector* boxes, Findings* findings) {
    for (const ShaderFile& shaderFile : ShaderFiles()) {
        const std::string file = std::string("shaders/") + shaderFile.name + kShaderFileExtension;
        boxes->Take();
        Shader* shader = nullptr;
        zkLoadShader(shader, shaderFile.name);
        const std::vector<BoxCollector::Box> shown = boxes->Take();
        for (const BoxCollector::Box& box : shown) ReportShaderBox(file, box, findings);
        if (!shader) {
            if (shown.empty()) findings->Error(file, "file", "does not load");
            continue;
        }
        if (!shader->vertexShader && !shader->pixelShader)
            findings->Warning(file, "file", "has neither a vertex nor a pixel program: it draws as fixed function");
        // Only the constants the compiled code uses are in the tables, as with D3DX.
        for (const SetParameter& parameter : shaderFile.parameters)
            if (!Uses(*shader, parameter.name))
                findings->Error(file, std::string("parameter ") + parameter.name,
                                std::string("not in the vertex or pixel constants (undeclared or unused), but ") +
                                    parameter.setBy + " set it");
        zkReleaseShader(shader);
    }
}
