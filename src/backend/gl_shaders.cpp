#include "backend/gl_shaders.h"

#include <algorithm>

#include "backend/gl_stage_link.h"

namespace {

const char* UsageName(uint8_t usage) {
    switch (usage) {
        case D3DDECLUSAGE_POSITION: return "POSITION";
        case D3DDECLUSAGE_BLENDWEIGHT: return "BLENDWEIGHT";
        case D3DDECLUSAGE_BLENDINDICES: return "BLENDINDICES";
        case D3DDECLUSAGE_NORMAL: return "NORMAL";
        case D3DDECLUSAGE_PSIZE: return "PSIZE";
        case D3DDECLUSAGE_TEXCOORD: return "TEXCOORD";
        case D3DDECLUSAGE_TANGENT: return "TANGENT";
        case D3DDECLUSAGE_BINORMAL: return "BINORMAL";
        case D3DDECLUSAGE_COLOR: return "COLOR";
    }
    return nullptr;
}

uint64_t NextSerial() {
    static uint64_t serial = 0;
    return ++serial;
}

}  // namespace

std::vector<VertexAttribute> LayoutOfFvf(DWORD fvf) {
    std::vector<VertexAttribute> layout;
    if ((fvf & 0xE) != D3DFVF_XYZ) return layout;
    UINT offset = 0;
    layout.push_back({"POSITION0", 3, GL_FLOAT, false, offset});
    offset += 12;
    if (fvf & D3DFVF_NORMAL) layout.push_back({"NORMAL0", 3, GL_FLOAT, false, offset}), offset += 12;
    if (fvf & D3DFVF_DIFFUSE) layout.push_back({"COLOR0", 4, GL_UNSIGNED_BYTE, true, offset}), offset += 4;
    if (fvf & D3DFVF_TEX1) layout.push_back({"TEXCOORD0", 2, GL_FLOAT, false, offset});
    return layout;
}

GlVertexDeclaration* GlVertexDeclaration::Create(const D3DVERTEXELEMENT9* elements) {
    if (!elements) return nullptr;
    auto* made = new GlVertexDeclaration();
    // A declaration holds at most 64 elements before its end marker.
    for (int i = 0;; ++i) {
        const D3DVERTEXELEMENT9& element = elements[i];
        made->elements_.push_back(element);
        if (element.Stream == 0xFF) break;
        const char* usage = UsageName(element.Usage);
        const bool colour = element.Type == D3DDECLTYPE_D3DCOLOR;
        if (i == 64 || element.Stream != 0 || !usage || element.Type > D3DDECLTYPE_D3DCOLOR) {
            made->Release();
            return nullptr;
        }
        made->layout_.push_back({usage + std::to_string(element.UsageIndex), colour ? 4 : element.Type + 1,
                                 colour ? GLenum{GL_UNSIGNED_BYTE} : GLenum{GL_FLOAT}, colour, element.Offset});
    }
    return made;
}

HRESULT GlVertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
    *count = static_cast<UINT>(elements_.size());
    if (elements) std::copy(elements_.begin(), elements_.end(), elements);
    return D3D_OK;
}

GlShaderStage::GlShaderStage(const CompiledShader& compiled)
    : compiled_(compiled),
      glsl_(compiled.stage == ShaderStage::Vertex ? VertexHalfSource(compiled.glsl) : PixelHalfSource(compiled.glsl)),
      serial_(NextSerial()) {}

const CompiledShader* CompiledShaderOf(const DWORD* code, ShaderStage stage) {
    const auto* compiled = reinterpret_cast<const CompiledShader*>(code);
    if (!code || compiled->magic != kCompiledShaderMagic || compiled->stage != stage) return nullptr;
    return compiled;
}
