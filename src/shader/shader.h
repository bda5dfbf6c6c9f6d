// A compiled vertex/pixel program pair with its vertex declaration and the
// handles of the engine uniforms, looked up once at compile time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backend/d3d9.h"
#include "backend/d3dx9_shader.h"

struct ShaderParam;
struct ShaderSourceLines;
struct VertexProfile;
struct VertexProfileElement;

struct Shader {
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ID3DXConstantTable* vertexConstants = nullptr;  // null without a vertex source
    ID3DXConstantTable* pixelConstants = nullptr;   // null without a pixel source
    IDirect3DPixelShader9* pixelShader = nullptr;
    IDirect3DVertexShader9* vertexShader = nullptr;
    std::vector<ShaderParam*> params;  // newest first, owned

    // Vertex stage; null when the compiled code does not use the name.
    D3DXHANDLE vsModelViewProjectionMatrix = nullptr;
    D3DXHANDLE vsModelViewMatrix = nullptr;
    D3DXHANDLE vsNormalMatrix = nullptr;
    D3DXHANDLE vsObjectMatrix = nullptr;
    D3DXHANDLE vsMaterialDiffuse = nullptr;
    D3DXHANDLE vsMaterialSpecular = nullptr;
    D3DXHANDLE vsMaterialAmbient = nullptr;
    D3DXHANDLE vsMaterialConstants = nullptr;
    D3DXHANDLE vsLightPosition = nullptr;
    D3DXHANDLE vsLightColor = nullptr;
    D3DXHANDLE vsLightCount = nullptr;

    // Pixel stage.
    D3DXHANDLE psMaterialDiffuse = nullptr;
    D3DXHANDLE psMaterialSpecular = nullptr;
    D3DXHANDLE psMaterialAmbient = nullptr;
    D3DXHANDLE psMaterialConstants = nullptr;
    D3DXHANDLE psLightPosition = nullptr;
    D3DXHANDLE psLightColor = nullptr;
    D3DXHANDLE psLightCount = nullptr;
};

// Reads "shaders\<fileName>.fx" and compiles it into the slot; the slot is
// null (and the result false) when the file is missing or does not compile.
bool zkLoadShader(Shader*& slot, const std::string& fileName);

// Fills shader from the sources and profile; a source of at most one
// character leaves its stage out. sourceName only names the file in
// messages; with lines, the compiler's messages name the file and its
// line instead of the source's own. On false the shader holds what was
// made so far, for zkReleaseShader to free.
bool zkCompileShader(Shader* shader, const char* vertexSource, const char* pixelSource, const VertexProfile* profile,
                     int32_t vertexVersion, int32_t pixelVersion, const char* sourceName = "shader",
                     const ShaderSourceLines* lines = nullptr);

// The compiler's text with each line that names source line N ("ERROR:
// 0:N:", "WARNING: 0:N:", "(N):") naming file and the file line that
// source line N came from instead.
std::string WithFileLines(const std::string& text, const std::vector<int32_t>& lines, const std::string& file);

// The declaration element at stream 0 for one profile element: type codes
// 1, 2, 4, 8 are position, normal, texcoord, colour; floats take 1 to 4
// components, a colour is one D3DCOLOR whatever its count. False, with the
// reason in *problem, for an element with no declaration equivalent.
bool zkVertexElementOf(const VertexProfileElement& element, D3DVERTEXELEMENT9* out, std::string* problem);

// The declaration elements of a profile, end marker included. False, with
// the reason in *problem, for an element with no declaration equivalent.
bool zkVertexElementsOf(const VertexProfile& profile, std::vector<D3DVERTEXELEMENT9>* elements,
                        std::string* problem);

// Frees the parameters and the device objects; the slot is null afterwards.
void zkReleaseShader(Shader*& slot);
