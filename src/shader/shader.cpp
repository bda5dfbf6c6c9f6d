#include "shader/shader.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/graphics_context.h"
#include "shader/shader_params.h"
#include "shader/shader_reader.h"

namespace {

// Direct3D 9 declarations end after at most 64 elements.
constexpr size_t kMaxVertexElements = 64;

enum ElementTypeCode : int32_t { kTypePosition = 1, kTypeNormal = 2, kTypeTexcoord = 4, kTypeColour = 8 };

bool UsageOfType(int32_t type, uint8_t* usage) {
    switch (type) {
        case kTypePosition: *usage = D3DDECLUSAGE_POSITION; return true;
        case kTypeNormal: *usage = D3DDECLUSAGE_NORMAL; return true;
        case kTypeTexcoord: *usage = D3DDECLUSAGE_TEXCOORD; return true;
        case kTypeColour: *usage = D3DDECLUSAGE_COLOR; return true;
    }
    return false;
}

void LookUpVertexHandles(Shader* shader) {
    ID3DXConstantTable* table = shader->vertexConstants;
    shader->vsModelViewProjectionMatrix = table->GetConstantByName(nullptr, "zk_ModelViewProjectionMatrix");
    shader->vsModelViewMatrix = table->GetConstantByName(nullptr, "zk_ModelViewMatrix");
    shader->vsNormalMatrix = table->GetConstantByName(nullptr, "zk_NormalMatrix");
    shader->vsObjectMatrix = table->GetConstantByName(nullptr, "zk_ObjectMatrix");
    shader->vsMaterialDiffuse = table->GetConstantByName(nullptr, "zk_MaterialDiffuse");
    shader->vsMaterialSpecular = table->GetConstantByName(nullptr, "zk_MaterialSpecular");
    shader->vsMaterialAmbient = table->GetConstantByName(nullptr, "zk_MaterialAmbient");
    shader->vsMaterialConstants = table->GetConstantByName(nullptr, "zk_MaterialConstants");
    shader->vsLightPosition = table->GetConstantByName(nullptr, "zk_LightPosition");
    shader->vsLightColor = table->GetConstantByName(nullptr, "zk_LightColor");
    shader->vsLightCount = table->GetConstantByName(nullptr, "zk_LightCount");
}

void LookUpPixelHandles(Shader* shader) {
    ID3DXConstantTable* table = shader->pixelConstants;
    shader->psMaterialDiffuse = table->GetConstantByName(nullptr, "zk_MaterialDiffuse");
    shader->psMaterialSpecular = table->GetConstantByName(nullptr, "zk_MaterialSpecular");
    shader->psMaterialAmbient = table->GetConstantByName(nullptr, "zk_MaterialAmbient");
    shader->psMaterialConstants = table->GetConstantByName(nullptr, "zk_MaterialConstants");
    shader->psLightPosition = table->GetConstantByName(nullptr, "zk_LightPosition");
    shader->psLightColor = table->GetConstantByName(nullptr, "zk_LightColor");
    shader->psLightCount = table->GetConstantByName(nullptr, "zk_LightCount");
}

constexpr const char* kVertexFailureCaption = "HLSL VertexShader Compile Failure";
constexpr const char* kPixelFailureCaption = "HLSL PixelShader Compile Failure";

// The text of an error buffer, which is released; empty without one.
std::string TakeText(ID3DXBuffer* errors) {
    if (!errors) return "";
    const std::string text = static_cast<const char*>(errors->GetBufferPointer());
    errors->Release();
    return text;
}

// The file a stage came from, to name in its messages.
struct StageOrigin {
    const char* file;
    const std::vector<int32_t>* lines;  // null: the source's own lines
};

// Compiles one stage; on failure shows the compiler's text under caption.
bool CompileStage(const char* source, const char* profileFormat, int32_t version, DWORD flags, const char* caption,
                  const StageOrigin& origin, ID3DXBuffer** code, ID3DXConstantTable** table) {
    char profile[32];
    std::snprintf(profile, sizeof profile, profileFormat, version);
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = D3DXCompileShader(source, static_cast<UINT>(std::strlen(source)), nullptr, nullptr,
                                             "main", profile, flags, code, &errors, table);
    const std::string text = TakeText(errors);
    if (result == D3D_OK) return true;  // warnings are not shown
    if (*code) (*code)->Release(), *code = nullptr;
    const std::string shown = origin.lines ? WithFileLines(text, *origin.lines, origin.file) : text;
    MessageBoxA(nullptr, shown.c_str(), caption, MB_ICONEXCLAMATION);
    return false;
}

// A pair the device cannot join fails as its pixel half's compile.
bool PairLinks(ID3DXBuffer* vertexCode, ID3DXBuffer* pixelCode) {
    ID3DXBuffer* errors = nullptr;
    const HRESULT result = CheckShaderPairLinks(vertexCode, pixelCode, &errors);
    const std::string text = TakeText(errors);
    if (result == D3D_OK) return true;
    MessageBoxA(nullptr, text.c_str(), kPixelFailureCaption, MB_ICONEXCLAMATION);
    return false;
}

// The file line for the source line whose number starts `text` at `at`,
// and where the number ends; false when there is no such line.
bool FileLineAt(const std::string& text, size_t at, const std::vector<int32_t>& lines, int32_t* fileLine,
                size_t* end) {
    size_t number = 0, i = at;
    while (i < text.size() && i - at < 9 && std::isdigit(static_cast<unsigned char>(text[i])))
        number = number * 10 + static_cast<size_t>(text[i++] - '0');
    if (i == at || number < 1 || number > lines.size()) return false;
    *fileLine = lines[number - 1];
    *end = i;
    return true;
}

// One line of the compiler's text: "ERROR: 0:N: ...", "WARNING: 0:N: ..."
// or glslang's "(N): ..." naming the file's line instead.
std::string LineWithFileLine(const std::string& line, const std::vector<int32_t>& lines, const std::string& file) {
    int32_t fileLine;
    size_t end;
    for (const char* kind : {"ERROR: 0:", "WARNING: 0:"}) {
        const size_t length = std::strlen(kind);
        if (line.compare(0, length, kind) == 0 && FileLineAt(line, length, lines, &fileLine, &end) &&
            end < line.size() && line[end] == ':')
            return line.substr(0, length - 2) + file + ":" + std::to_string(fileLine) + line.substr(end);
    }
    if (!line.empty() && line[0] == '(' && FileLineAt(line, 1, lines, &fileLine, &end) &&
        line.compare(end, 2, "):") == 0)
        return file + ":" + std::to_string(fileLine) + line.substr(end + 1);
    return line;
}

}  // namespace

std::string WithFileLines(const std::string& text, const std::vector<int32_t>& lines, const std::string& file) {
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const size_t newline = text.find('\n', at);
        const size_t end = newline == std::string::npos ? text.size() : newline;
        out += LineWithFileLine(text.substr(at, end - at), lines, file);
        if (newline != std::string::npos) out += '\n';
        at = end + 1;
    }
    return out;
}

bool zkVertexElementOf(const VertexProfileElement& element, D3DVERTEXELEMENT9* out, std::string* problem) {
    *out = {0, static_cast<uint16_t>(element.offset), 0, D3DDECLMETHOD_DEFAULT, 0,
            static_cast<uint8_t>(element.usageIndex)};
    if (!UsageOfType(element.type, &out->Usage)) {
        *problem = "unknown type " + std::to_string(element.type);
        return false;
    }
    if (element.type == kTypeColour) {
        out->Type = D3DDECLTYPE_D3DCOLOR;
    } else if (element.components >= 1 && element.components <= 4) {
        out->Type = static_cast<uint8_t>(D3DDECLTYPE_FLOAT1 + element.components - 1);
    } else {
        // Any other count would read as another declaration type.
        *problem = "unsupported component count " + std::to_string(element.components);
        return false;
    }
    return true;
}

bool zkVertexElementsOf(const VertexProfile& profile, std::vector<D3DVERTEXELEMENT9>* elements,
                        std::string* problem) {
    elements->clear();
    const size_t count = std::min(static_cast<size_t>(std::max<int32_t>(profile.count, 0)), profile.elements.size());
    if (count > kMaxVertexElements) {
        *problem = "more than " + std::to_string(kMaxVertexElements) + " vertex elements";
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        D3DVERTEXELEMENT9 out;
        if (!zkVertexElementOf(profile.elements[i], &out, problem)) {
            *problem = "vertex element " + std::to_string(i) + " has " + *problem;
            return false;
        }
        elements->push_back(out);
    }
    elements->push_back(D3DDECL_END());
    return true;
}

bool zkCompileShader(Shader* shader, const char* vertexSource, const char* pixelSource, const VertexProfile* profile,
                     int32_t vertexVersion, int32_t pixelVersion, const char* sourceName,
                     const ShaderSourceLines* lines) {
    const char* file = sourceName ? sourceName : "shader";
    IDirect3DDevice9* device = g_graphics->device;
    std::vector<D3DVERTEXELEMENT9> elements;
    std::string problem;
    const VertexProfile empty;
    if (!zkVertexElementsOf(profile ? *profile : empty, &elements, &problem)) {
        // An element without usage has no declaration entry: refuse the shader rather than guess.
        const std::string text = std::string(file) + ": " + problem;
        MessageBoxA(nullptr, text.c_str(), "zkCompileShader", MB_ICONEXCLAMATION);
        return false;
    }
    device->CreateVertexDeclaration(elements.data(), &shader->declaration);

    ID3DXBuffer *vertexCode = nullptr, *pixelCode = nullptr;
    bool ok = true;
    if (vertexSource && std::strlen(vertexSource) > 1) {
        ok = CompileStage(vertexSource, "vs_%d_0", vertexVersion, 0, kVertexFailureCaption,
                          {file, lines ? &lines->vertex : nullptr}, &vertexCode, &shader->vertexConstants);
        if (ok) {
            device->CreateVertexShader(static_cast<const DWORD*>(vertexCode->GetBufferPointer()),
                                       &shader->vertexShader);
            LookUpVertexHandles(shader);
        }
    }
    if (ok && pixelSource && std::strlen(pixelSource) > 1) {
        ok = CompileStage(pixelSource, "ps_%d_0", pixelVersion, D3DXSHADER_PREFER_FLOW_CONTROL, kPixelFailureCaption,
                          {file, lines ? &lines->pixel : nullptr}, &pixelCode, &shader->pixelConstants);
        if (ok) {
            device->CreatePixelShader(static_cast<const DWORD*>(pixelCode->GetBufferPointer()), &shader->pixelShader);
            LookUpPixelHandles(shader);
        }
    }
    if (ok && vertexCode && pixelCode) ok = PairLinks(vertexCode, pixelCode);
    if (vertexCode) vertexCode->Release();
    if (pixelCode) pixelCode->Release();
    return ok;
}

bool zkLoadShader(Shader*& slot, const std::string& fileName) {
    const std::string path = "shaders\\" + fileName + kShaderFileExtension;
    auto* shader = new Shader();
    std::vector<char> vertexSource(kShaderSourceSize, '\0');
    std::vector<char> pixelSource(kShaderSourceSize, '\0');
    auto* profile = new VertexProfile();
    int32_t vertexVersion = 3, pixelVersion = 3;

    ShaderSourceLines lines;
    bool ok = zkReadShader(path.c_str(), profile, vertexSource.data(), pixelSource.data(), &vertexVersion,
                           &pixelVersion, &lines);
    if (ok)
        ok = zkCompileShader(shader, vertexSource.data(), pixelSource.data(), profile, vertexVersion, pixelVersion,
                             path.c_str(), &lines);
    delete profile;
    if (!ok) zkReleaseShader(shader);
    slot = shader;
    return slot != nullptr;
}

void zkReleaseShader(Shader*& slot) {
    Shader* shader = slot;
    if (!shader) return;
    for (ShaderParam* param : shader->params) delete param;
    shader->params.clear();
    if (shader->vertexConstants) shader->vertexConstants->Release();
    if (shader->pixelConstants) shader->pixelConstants->Release();
    if (shader->declaration) shader->declaration->Release();
    if (shader->pixelShader) shader->pixelShader->Release();
    if (shader->vertexShader) shader->vertexShader->Release();
    delete shader;
    slot = nullptr;
}
