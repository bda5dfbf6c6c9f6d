// Scene values for a shader's uniforms: the binders record them, and
// zkApplyShader uploads them after the engine values from the graphics context.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "backend/d3d9.h"
#include "backend/d3dx9_shader.h"

struct Shader;

constexpr uint32_t PARAM_FLOATS = 0x01;
constexpr uint32_t PARAM_MATRICES = 0x24;
constexpr uint32_t PARAM_VERTEX = 0x08;
constexpr uint32_t PARAM_PIXEL = 0x10;  // also a name found in neither table

struct ShaderParam {
    std::string name;
    std::vector<float> values;  // count floats, or count 4x4 matrices
    D3DXHANDLE handle = nullptr;
    uint32_t kind = 0;  // PARAM_FLOATS or PARAM_MATRICES, ORed with the stage
    int32_t count = 0;  // floats (4 or 1) or matrices
};

// A null shader binds nothing. A name unknown to both stages shows a message
// once (none in an unseen frame) and is remembered with a null handle.
void zkShaderBind4f(Shader* shader, const char* name, float x, float y, float z, float w);
void zkShaderBind1f(Shader* shader, const char* name, float value);
// A count of zero or less binds nothing.
void zkShaderBindMatrixArray(Shader* shader, const char* name, int32_t count, const D3DMATRIX* matrices);

void zkShaderBind4f(Shader*& slot, const std::string& name, float x, float y, float z, float w);
void zkShaderBind1f(Shader*& slot, const std::string& name, float value);
void zkShaderBindMatrixArray(Shader*& slot, const std::string& name, int32_t count, const D3DMATRIX* matrices);

// For tools that recompile a shader while it plays: the values bound on from
// are bound on to, for the names to's code uses; the others are left out
// without a message.
void zkShaderCopyBindings(const Shader& from, Shader* to);

// The values bound on a shader, and putting exactly those back (names bound
// since are forgotten): a frame drawn ahead of time must not change what the
// next frame uploads.
std::vector<ShaderParam> zkShaderSaveBindings(const Shader& shader);
void zkShaderRestoreBindings(Shader* shader, const std::vector<ShaderParam>& saved);

// Uploads the engine values and the bound values, then makes the shader
// current; a missing stage selects the fixed-function one.
void zkApplyShader(Shader* shader);
