#include "shader/shader_params.h"

#include <algorithm>
#include <cstring>

#include "backend/d3dx9_math.h"
#include "platform/graphics_context.h"
#include "platform/unseen_frames.h"
#include "shader/shader.h"

namespace {

constexpr uint32_t kValueKinds = PARAM_FLOATS | PARAM_MATRICES;
constexpr uint32_t kStages = PARAM_VERTEX | PARAM_PIXEL;
constexpr size_t kFloatsPerMatrix = 16;

void StoreMatrices(ShaderParam* param, int32_t count, const D3DMATRIX* matrices) {
    for (int32_t i = 0; i < count; ++i)
        std::memcpy(param->values.data() + i * kFloatsPerMatrix, matrices[i].m, sizeof matrices[i].m);
}

// Storage for count values of the kind, matrices starting as identity.
void Allocate(ShaderParam* param, uint32_t valueKind, int32_t count) {
    if (valueKind == PARAM_MATRICES) {
        param->values.assign(static_cast<size_t>(count) * kFloatsPerMatrix, 0.0f);
        for (int32_t i = 0; i < count; ++i)
            for (size_t d = 0; d < 4; ++d) param->values[i * kFloatsPerMatrix + d * 5] = 1.0f;
    } else {
        param->values.assign(static_cast<size_t>(count), 0.0f);
    }
    param->kind = valueKind | (param->kind & kStages);
    param->count = count;
}

// The vertex constant of that name, else the pixel one; *stage says which
// (PARAM_PIXEL also when neither has it).
D3DXHANDLE FindConstant(const Shader& shader, const char* name, uint32_t* stage) {
    D3DXHANDLE handle = shader.vertexConstants ? shader.vertexConstants->GetConstantByName(nullptr, name) : nullptr;
    *stage = handle ? PARAM_VERTEX : PARAM_PIXEL;
    if (!handle && shader.pixelConstants) handle = shader.pixelConstants->GetConstantByName(nullptr, name);
    return handle;
}

// The record for name, made (and looked up in the tables) on first use.
// A record whose storage does not fit this bind is given new storage, so a
// name reused with another binder or a longer array is never written past.
ShaderParam* Record(Shader* shader, const char* name, uint32_t valueKind, int32_t count, const char* caption) {
    for (ShaderParam* param : shader->params) {
        if (param->name != name) continue;
        const bool fits = (param->kind & kValueKinds) == valueKind &&
                          (valueKind == PARAM_MATRICES ? count <= param->count : count == param->count);
        if (!fits) Allocate(param, valueKind, count);
        return param;
    }

    auto* param = new ShaderParam();
    param->name = name;
    uint32_t stage = PARAM_PIXEL;
    param->handle = FindConstant(*shader, name, &stage);
    // Kept with a null handle, so the message comes once per shader and name.
    // An unseen frame's records are dropped after it (zkShaderRestoreBindings):
    // the message waits for the first frame that is shown.
    if (!param->handle && !UnseenFrames::Drawing())
        MessageBoxA(nullptr, "Variable not found in shader, or not in use!", caption, MB_OK);
    param->kind = stage;
    Allocate(param, valueKind, count);
    shader->params.insert(shader->params.begin(), param);
    return param;
}

void UploadMaterialAndLights(ID3DXConstantTable* table, IDirect3DDevice9* device, D3DXHANDLE diffuse,
                             D3DXHANDLE ambient, D3DXHANDLE positions, D3DXHANDLE colours, D3DXHANDLE count) {
    if (!table || !diffuse) return;
    const LightList* lights = g_graphics->lightList;
    const unsigned lightCount = lights ? std::min(lights->count, LightList::kCapacity) : 0;
    static const float kNoLights[4] = {};
    table->SetFloatArray(device, diffuse, g_graphics->materialDiffuse, 4);
    if (ambient) table->SetFloatArray(device, ambient, g_graphics->materialAmbient, 4);
    if (positions) table->SetFloatArray(device, positions, lights ? &lights->positions[0][0] : kNoLights, 4 * lightCount);
    if (colours) table->SetFloatArray(device, colours, lights ? &lights->colours[0][0] : kNoLights, 4 * lightCount);
    if (count) table->SetInt(device, count, static_cast<INT>(lightCount));
}

}  // namespace

void zkShaderBind4f(Shader* shader, const char* name, float x, float y, float z, float w) {
    if (!shader || !name) return;
    ShaderParam* param = Record(shader, name, PARAM_FLOATS, 4, "zkShaderBind4f");
    const float values[4] = {x, y, z, w};
    std::copy(values, values + 4, param->values.begin());
}

void zkShaderBind1f(Shader* shader, const char* name, float value) {
    if (!shader || !name) return;
    ShaderParam* param = Record(shader, name, PARAM_FLOATS, 1, "zkShaderBind1f");
    param->values[0] = value;
}

void zkShaderBindMatrixArray(Shader* shader, const char* name, int32_t count, const D3DMATRIX* matrices) {
    if (!shader || !name || count <= 0 || !matrices) return;
    ShaderParam* param = Record(shader, name, PARAM_MATRICES, count, "zkShaderBind4f");
    StoreMatrices(param, count, matrices);
}

void zkShaderBind4f(Shader*& slot, const std::string& name, float x, float y, float z, float w) {
    zkShaderBind4f(slot, name.c_str(), x, y, z, w);
}

void zkShaderBind1f(Shader*& slot, const std::string& name, float value) { zkShaderBind1f(slot, name.c_str(), value); }

void zkShaderBindMatrixArray(Shader*& slot, const std::string& name, int32_t count, const D3DMATRIX* matrices) {
    zkShaderBindMatrixArray(slot, name.c_str(), count, matrices);
}

void zkShaderCopyBindings(const Shader& from, Shader* to) {
    // Oldest first, so the copies keep the newest-first order.
    for (auto it = from.params.rbegin(); it != from.params.rend(); ++it) {
        const ShaderParam& old = **it;
        uint32_t stage = PARAM_PIXEL;
        D3DXHANDLE handle = FindConstant(*to, old.name.c_str(), &stage);
        if (!handle) continue;
        auto* param = new ShaderParam(old);
        param->handle = handle;
        param->kind = (old.kind & kValueKinds) | stage;
        to->params.insert(to->params.begin(), param);
    }
}

std::vector<ShaderParam> zkShaderSaveBindings(const Shader& shader) {
    std::vector<ShaderParam> saved;
    for (const ShaderParam* param : shader.params) saved.push_back(*param);
    return saved;
}

void zkShaderRestoreBindings(Shader* shader, const std::vector<ShaderParam>& saved) {
    for (ShaderParam* param : shader->params) delete param;
    shader->params.clear();
    for (const ShaderParam& param : saved) shader->params.push_back(new ShaderParam(param));
}

void zkApplyShader(Shader* shader) {
    if (!shader) return;
    IDirect3DDevice9* device = g_graphics->device;
    // The engine keeps the whole model-view matrix in the view transform.
    D3DMATRIX view, projection, modelViewProjection, inverse, normal;
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&modelViewProjection, &view, &projection);
    // A singular view has no inverse; identity keeps the normals finite.
    if (!D3DXMatrixInverse(&inverse, nullptr, &view)) D3DXMatrixIdentity(&inverse);
    D3DXMatrixTranspose(&normal, &inverse);

    if (ID3DXConstantTable* table = shader->vertexConstants) {
        if (shader->vsModelViewMatrix) table->SetMatrix(device, shader->vsModelViewMatrix, &view);
        if (shader->vsModelViewProjectionMatrix)
            table->SetMatrix(device, shader->vsModelViewProjectionMatrix, &modelViewProjection);
        if (shader->vsNormalMatrix) table->SetMatrix(device, shader->vsNormalMatrix, &normal);
        if (shader->vsObjectMatrix) table->SetMatrix(device, shader->vsObjectMatrix, &g_graphics->objectMatrix);
    }
    UploadMaterialAndLights(shader->vertexConstants, device, shader->vsMaterialDiffuse, shader->vsMaterialAmbient,
                            shader->vsLightPosition, shader->vsLightColor, shader->vsLightCount);
    UploadMaterialAndLights(shader->pixelConstants, device, shader->psMaterialDiffuse, shader->psMaterialAmbient,
                            shader->psLightPosition, shader->psLightColor, shader->psLightCount);

    for (const ShaderParam* param : shader->params) {
        if (!param->handle) continue;
        const bool vertex = (param->kind & PARAM_VERTEX) != 0;
        if ((param->kind & PARAM_MATRICES) == PARAM_MATRICES) {
            // Matrix arrays are only uploaded to the vertex stage.
            if (vertex && shader->vertexConstants)
                shader->vertexConstants->SetMatrixArray(device, param->handle,
                                                        reinterpret_cast<const D3DMATRIX*>(param->values.data()),
                                                        static_cast<UINT>(param->count));
        } else if ((param->kind & PARAM_FLOATS) && !(param->kind & 0x04)) {
            ID3DXConstantTable* table = vertex ? shader->vertexConstants : shader->pixelConstants;
            if (table) table->SetFloatArray(device, param->handle, param->values.data(), static_cast<UINT>(param->count));
        }
    }

    device->SetVertexDeclaration(shader->declaration);
    device->SetVertexShader(shader->vertexShader);
    device->SetPixelShader(shader->pixelShader);
}
