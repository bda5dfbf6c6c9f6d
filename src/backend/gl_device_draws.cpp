// The GL device's draws: the program, states, constants, textures and
// vertex attributes each one binds, and the checks of its arguments.
#include "backend/gl_device_impl.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "backend/d3d9_sizes.h"
#include "backend/d3dx9_math.h"

namespace gl_device {

namespace {

float FloatOf(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        default: return GL_TRIANGLE_FAN;
    }
}

// Bytes a vertex of this layout spans at least.
UINT LayoutSize(const std::vector<VertexAttribute>& layout) {
    UINT size = 0;
    for (const VertexAttribute& attribute : layout)
        size = std::max(size, attribute.offset + static_cast<UINT>(attribute.components) * (attribute.bgra ? 1 : 4));
    return size;
}

bool HasInput(const std::vector<VertexAttribute>& layout, const char* semantic) {
    for (const VertexAttribute& attribute : layout)
        if (attribute.semantic == semantic) return true;
    return false;
}

}  // namespace

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride) {
    const UINT count = VertexCount(type, primitives);
    const std::vector<VertexAttribute> layout = CurrentLayout();
    if (!count || !vertices || layout.empty() || stride < LayoutSize(layout)) return D3DERR_INVALIDCALL;
    const LinkedProgram* program = PrepareDraw(type, layout);
    if (!program) return D3DERR_INVALIDCALL;

    state_.BindArrayBuffer(vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * stride, vertices, GL_STREAM_DRAW);
    SetVertexLayout(vertexBuffer_, stride, 0, layout, *program);
    const bool hidden = BeginHiddenDraw();
    glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(count));
    EndHiddenDraw(hidden);
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex, UINT vertices,
                                       UINT startIndex, UINT primitives) {
    const std::vector<VertexAttribute> layout = CurrentLayout();
    const uint64_t indexCount = static_cast<uint64_t>(primitives) * 3;
    if (type != D3DPT_TRIANGLELIST || !primitives || !vertices || layout.empty() || !stream_ || !indices_ ||
        stream_->locked() || indices_->locked() || streamStride_ < LayoutSize(layout) ||
        !IndicesInside(*indices_, startIndex, indexCount, minVertex, vertices) ||
        !VerticesInside(static_cast<int64_t>(baseVertex) + minVertex, vertices, LayoutSize(layout)))
        return D3DERR_INVALIDCALL;
    const LinkedProgram* program = PrepareDraw(type, layout);
    if (!program) return D3DERR_INVALIDCALL;

    SetVertexLayout(stream_->name(), streamStride_, streamOffset_, layout, *program);
    state_.BindElementBuffer(indices_->name());
    const uintptr_t firstByte = static_cast<uintptr_t>(startIndex) * indices_->indexSize();
    const bool hidden = BeginHiddenDraw();
    // One triangle takes a hidden draw through everything the driver builds.
    glDrawRangeElementsBaseVertex(GL_TRIANGLES, minVertex, minVertex + (vertices - 1),
                                  hidden ? 3 : static_cast<GLsizei>(indexCount), indices_->indexType(),
                                  reinterpret_cast<const void*>(firstByte), baseVertex);
    EndHiddenDraw(hidden);
    return D3D_OK;
}

// While warming up, a draw reaches the driver, which builds what it
// needs, but an empty scissor keeps it from writing.
bool GlDevice::BeginHiddenDraw() {
    if (!warmingUp_) return false;
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    return true;
}

// Lays the registers a stage's constants were given out as its uniform
// block: register k of element e at offset + e * arrayStride + k * registerStride.
void GlDevice::UploadConstants(const GlShaderStage* stage, const std::vector<float>& registers, GLuint binding,
                               GLuint buffer) {
    if (!stage || stage->compiled().blockName.empty()) return;
    const CompiledShader& compiled = stage->compiled();
    std::vector<uint8_t>& block = block_;
    block.assign(compiled.blockSize, 0);
    for (const ShaderConstant& constant : compiled.constants) {
        if (constant.cls == ConstantClass::Object) continue;
        const uint32_t perElement = RegistersPerElement(constant);
        const size_t components = std::min(ComponentsPerRegister(constant), 4u);
        for (uint32_t r = 0; r < constant.registerCount; ++r) {
            const size_t registerIndex = static_cast<size_t>(constant.firstRegister) + r;
            const size_t offset = constant.offset + static_cast<size_t>(r / perElement) * constant.arrayStride +
                                  static_cast<size_t>(r % perElement) * constant.registerStride;
            if (registerIndex >= registers.size() / 4 || offset + components * 4 > block.size()) break;
            for (size_t i = 0; i < components; ++i)
                StoreComponent(constant.type, registers[registerIndex * 4 + i], &block[offset + i * 4]);
        }
    }
    state_.FillUniformBuffer(buffer, constantBuffers_[buffer], block);
    state_.BindUniformBufferBase(binding, constantBuffers_[buffer]);
}

// A float register component as the block member's type holds it.
void GlDevice::StoreComponent(ConstantType type, float value, uint8_t* to) {
    if (type == ConstantType::Float) {
        std::memcpy(to, &value, 4);
    } else if (type == ConstantType::Bool) {
        const uint32_t truth = value != 0.0f;
        std::memcpy(to, &truth, 4);
    } else {
        const int32_t whole = static_cast<int32_t>(std::lround(std::clamp(value, -2.0e9f, 2.0e9f)));
        std::memcpy(to, &whole, 4);
    }
}

// Binds the target, states, program, constants and textures of a draw;
// null when there is no target or no program.
const LinkedProgram* GlDevice::PrepareDraw(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout) {
    if (!BindTarget()) return nullptr;
    ApplyRenderStates(renderStates_, depthStencil_ != nullptr);

    ProgramKey key;
    if (vertexShader_) key.vertexSerial = vertexShader_->serial();
    if (pixelShader_) key.pixelSerial = pixelShader_->serial();
    if (!vertexShader_ || !pixelShader_) key.fixed = FixedFunctionState(type, layout);
    if (StateValue(renderStates_, D3DRS_ALPHATESTENABLE)) key.alphaFunc = StateValue(renderStates_, D3DRS_ALPHAFUNC);
    const LinkedProgram& program = programs_->Get(key, vertexShader_, pixelShader_);
    if (!program.program) return nullptr;
    state_.UseProgram(program.program);
    SetFixedFunctionUniforms(program);
    UploadConstants(vertexShader_, vertexConstants_, kVertexBlockBinding, 0);
    UploadConstants(pixelShader_, pixelConstants_, kPixelBlockBinding, 1);
    BindTextures();
    return &program;
}

// The indices lie inside the buffer and each picks a vertex of the range
// the caller gave: GL does not check what it fetches.
bool GlDevice::IndicesInside(const GlIndexBuffer& indices, UINT start, uint64_t count, UINT minVertex,
                             UINT vertices) {
    if (start + count > indices.length() / indices.indexSize()) return false;
    for (uint64_t i = start; i < start + count; ++i) {
        const uint32_t index = indices.Index(i);
        if (index < minVertex || index - minVertex >= vertices) return false;
    }
    return true;
}

// Vertices first .. first + count - 1 of the stream, each element of
// the layout whole, lie inside its buffer.
bool GlDevice::VerticesInside(int64_t first, UINT count, UINT layoutSize) const {
    const uint64_t length = stream_->length();
    if (first < 0 || streamOffset_ + static_cast<uint64_t>(layoutSize) > length) return false;
    const uint64_t last = static_cast<uint64_t>(first) + count - 1;
    return last <= (length - streamOffset_ - layoutSize) / streamStride_;
}

FixedFunctionKey GlDevice::FixedFunctionState(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout) {
    FixedFunctionKey key;
    key.diffuse = HasInput(layout, "COLOR0");
    key.texcoord = HasInput(layout, "TEXCOORD0");
    key.texture = FixedFunctionTexture() != nullptr;
    key.points = type == D3DPT_POINTLIST;
    key.pointSprite = key.points && StateValue(renderStates_, D3DRS_POINTSPRITEENABLE);
    key.pointScale = key.points && StateValue(renderStates_, D3DRS_POINTSCALEENABLE);
    key.lighting = StateValue(renderStates_, D3DRS_LIGHTING) != 0;
    const StateTable& stage = stageStates_[0];
    key.colourOp = StateValue(stage, D3DTSS_COLOROP);
    key.colourArg1 = StateValue(stage, D3DTSS_COLORARG1);
    key.colourArg2 = StateValue(stage, D3DTSS_COLORARG2);
    key.alphaOp = StateValue(stage, D3DTSS_ALPHAOP);
    key.alphaArg1 = StateValue(stage, D3DTSS_ALPHAARG1);
    key.alphaArg2 = StateValue(stage, D3DTSS_ALPHAARG2);
    return key;
}

void GlDevice::SetFixedFunctionUniforms(const LinkedProgram& program) {
    D3DMATRIX world, view, projection, worldView, all;
    GetTransform(D3DTS_WORLD, &world);
    GetTransform(D3DTS_VIEW, &view);
    GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&all, &worldView, &projection);
    // Row-major memory read as GL columns is the transpose, so M * v in GLSL is p * M.
    glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE, &all.m[0][0]);
    glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    glUniform2f(program.halfPixel, 1.0f / std::max<DWORD>(1, viewport_.Width),
                1.0f / std::max<DWORD>(1, viewport_.Height));
    glUniform1f(program.alphaRef, static_cast<float>(StateValue(renderStates_, D3DRS_ALPHAREF) & 0xFF));
    glUniform1f(program.pointSize, FloatOf(StateValue(renderStates_, D3DRS_POINTSIZE)));
    glUniform1f(program.pointMin, FloatOf(StateValue(renderStates_, D3DRS_POINTSIZE_MIN)));
    glUniform1f(program.pointMax, FloatOf(StateValue(renderStates_, D3DRS_POINTSIZE_MAX)));
    glUniform3f(program.pointScale, FloatOf(StateValue(renderStates_, D3DRS_POINTSCALE_A)),
                FloatOf(StateValue(renderStates_, D3DRS_POINTSCALE_B)),
                FloatOf(StateValue(renderStates_, D3DRS_POINTSCALE_C)));
    glUniform1f(program.viewportHeight, static_cast<float>(viewport_.Height));
}

void GlDevice::BindTextures() {
    for (DWORD stage = 0; stage < kStages; ++stage) {
        GLuint texture2D = 0, cube = 0;
        if (auto* texture = dynamic_cast<GlTexture*>(textures_[stage])) texture2D = texture->name();
        if (auto* texture = dynamic_cast<GlCubeTexture*>(textures_[stage])) cube = texture->name();
        state_.BindTexture(stage, GL_TEXTURE_2D, texture2D);
        state_.BindTexture(stage, GL_TEXTURE_CUBE_MAP, cube);
        state_.SetSamplerParameters(stage, samplers_[stage], SamplerParametersOf(samplerStates_[stage]));
        state_.BindSampler(stage, samplers_[stage]);
    }
}

// Feeds each input the program reads from the layout element of its
// semantic, in vertices that start `offset` bytes into the buffer.
void GlDevice::SetVertexLayout(GLuint buffer, UINT stride, UINT offset, const std::vector<VertexAttribute>& layout,
                               const LinkedProgram& program) {
    state_.BindArrayBuffer(buffer);
    uint32_t enabled = 0;
    for (const VertexAttribute& attribute : layout) {
        auto input = program.attributes.find(attribute.semantic);
        if (input != program.attributes.end() && input->second >= 0 &&
            input->second < static_cast<GLint>(GlStateShadow::kAttributes))
            enabled |= 1u << input->second;
    }
    state_.EnableAttributes(enabled, static_cast<GLuint>(maxAttributes_));
    for (const VertexAttribute& attribute : layout) {
        auto input = program.attributes.find(attribute.semantic);
        if (input == program.attributes.end() || input->second < 0) continue;
        // D3DCOLOR bytes are B, G, R, A: GL's BGRA attribute order.
        state_.SetAttributeSource(static_cast<GLuint>(input->second),
                                  {buffer, attribute.bgra ? GL_BGRA : attribute.components, attribute.type,
                                   static_cast<GLboolean>(attribute.bgra ? GL_TRUE : GL_FALSE),
                                   static_cast<GLsizei>(stride), static_cast<uintptr_t>(offset) + attribute.offset});
    }
}

}  // namespace gl_device
