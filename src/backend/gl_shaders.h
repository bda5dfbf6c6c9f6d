// Vertex declarations and compiled shaders of the OpenGL device, and the
// vertex layout both FVFs and declarations turn into.
#pragma once

#include <epoxy/gl.h>

#include <string>
#include <vector>

#include "backend/d3d9.h"
#include "backend/hlsl_compiler.h"

// One vertex attribute: its semantic ("TEXCOORD1") and where it lies.
struct VertexAttribute {
    std::string semantic;
    GLint components = 0;
    GLenum type = GL_FLOAT;
    bool bgra = false;  // a D3DCOLOR: bytes B, G, R, A, normalised
    UINT offset = 0;
};

std::vector<VertexAttribute> LayoutOfFvf(DWORD fvf);

template <typename Interface>
class GlCounted : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        if (--references_) return references_;
        delete this;
        return 0;
    }

protected:
    ULONG references_ = 1;
};

class GlVertexDeclaration : public GlCounted<IDirect3DVertexDeclaration9> {
public:
    // Null when an element has a type or usage the device cannot feed.
    static GlVertexDeclaration* Create(const D3DVERTEXELEMENT9* elements);
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;
    const std::vector<VertexAttribute>& layout() const { return layout_; }

private:
    std::vector<D3DVERTEXELEMENT9> elements_;  // end marker included
    std::vector<VertexAttribute> layout_;
};

// The GLSL of a compiled stage, ready to link, and its reflection: a vertex
// stage complete, a pixel stage with its main named d3d_main for the linked
// program's own main (gl_stage_link.h). Each has a serial number that is
// never reused, so linked programs can be keyed by it.
class GlShaderStage {
public:
    explicit GlShaderStage(const CompiledShader& compiled);
    const CompiledShader& compiled() const { return compiled_; }
    const std::string& glsl() const { return glsl_; }
    uint64_t serial() const { return serial_; }

private:
    CompiledShader compiled_;
    std::string glsl_;
    uint64_t serial_;
};

class GlVertexShader : public GlCounted<IDirect3DVertexShader9>, public GlShaderStage {
public:
    using GlShaderStage::GlShaderStage;
};

class GlPixelShader : public GlCounted<IDirect3DPixelShader9>, public GlShaderStage {
public:
    using GlShaderStage::GlShaderStage;
};

// The compiled shader behind code from D3DXCompileShader, or null when the
// code is not one of the given stage.
const CompiledShader* CompiledShaderOf(const DWORD* code, ShaderStage stage);
