#include "backend/d3dx9_shader.h"

#include <algorithm>
#include <string>
#include <vector>

#include "backend/d3dx9_shader_include.h"
#include "backend/gl_stage_link.h"
#include "backend/hlsl_compiler.h"
#include "backend/load_phases.h"

namespace {

constexpr HRESULT kCompileFailed = static_cast<HRESULT>(0x80004005);  // E_FAIL, as D3DX returns

class CountedBuffer : public ID3DXBuffer {
public:
    ULONG Release() override {
        if (--references_) return references_;
        delete this;
        return 0;
    }

private:
    ULONG references_ = 1;
};

// The "byte code" the devices take: a CompiledShader it keeps alive.
class CodeBuffer : public CountedBuffer {
public:
    explicit CodeBuffer(CompiledShader compiled) : compiled_(std::move(compiled)) {}
    void* GetBufferPointer() override { return &compiled_; }
    DWORD GetBufferSize() override { return sizeof compiled_; }

private:
    CompiledShader compiled_;
};

// Compiler text, zero-terminated as D3DX's error buffers are.
class TextBuffer : public CountedBuffer {
public:
    explicit TextBuffer(const std::string& text) : text_(text.begin(), text.end()) { text_.push_back('\0'); }
    void* GetBufferPointer() override { return text_.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(text_.size()); }

private:
    std::vector<char> text_;
};

// The registers one Set call writes, filled by element, row and column as
// the constant's class lays them out; registers up to the last one touched
// are written, their untouched components as zero.
class RegisterWrite {
public:
    explicit RegisterWrite(const ShaderConstant& constant)
        : constant_(constant), values_(static_cast<size_t>(constant.registerCount) * 4, 0.0f) {}

    void Put(UINT element, UINT row, UINT column, float value) {
        if (element >= constant_.elements || row >= constant_.rows || column >= constant_.columns) return;
        UINT index = element * RegistersPerElement(constant_), component = column;
        if (constant_.cls == ConstantClass::MatrixRows) index += row;
        if (constant_.cls == ConstantClass::MatrixColumns) index += column, component = row;
        if (index >= constant_.registerCount || component >= 4) return;
        values_[index * 4 + component] = value;
        used_ = std::max(used_, index + 1);
    }

    HRESULT To(IDirect3DDevice9* device, ShaderStage stage) const {
        if (used_ == 0) return D3D_OK;
        return stage == ShaderStage::Vertex ? device->SetVertexShaderConstantF(constant_.firstRegister, values_.data(), used_)
                                            : device->SetPixelShaderConstantF(constant_.firstRegister, values_.data(), used_);
    }

private:
    const ShaderConstant& constant_;
    std::vector<float> values_;
    UINT used_ = 0;
};

D3DXPARAMETER_TYPE TypeOf(ConstantType type) {
    switch (type) {
        case ConstantType::Bool: return D3DXPT_BOOL;
        case ConstantType::Int: return D3DXPT_INT;
        case ConstantType::Sampler2D: return D3DXPT_SAMPLER2D;
        case ConstantType::SamplerCube: return D3DXPT_SAMPLERCUBE;
        default: return D3DXPT_FLOAT;
    }
}

class ConstantTable : public ID3DXConstantTable {
public:
    ConstantTable(ShaderStage stage, std::vector<ShaderConstant> constants)
        : stage_(stage), constants_(std::move(constants)) {}

    ULONG Release() override {
        if (--references_) return references_;
        delete this;
        return 0;
    }

    // The handle is the stored name's text: stable while the table lives,
    // and distinct from every other table's handles.
    D3DXHANDLE GetConstantByName(D3DXHANDLE parent, const char* name) override {
        if (parent || !name) return nullptr;
        for (const ShaderConstant& constant : constants_)
            if (constant.name == name) return constant.name.c_str();
        return nullptr;
    }

    HRESULT GetConstantDesc(D3DXHANDLE handle, D3DXCONSTANT_DESC* description, UINT* count) override {
        const ShaderConstant* constant = Find(handle);
        if (!constant || !count) return D3DERR_INVALIDCALL;
        if (description && *count >= 1) {
            const bool sampler = constant->cls == ConstantClass::Object;
            *description = D3DXCONSTANT_DESC{constant->name.c_str(),
                                             sampler ? D3DXRS_SAMPLER : D3DXRS_FLOAT4,
                                             constant->firstRegister,
                                             constant->registerCount,
                                             static_cast<D3DXPARAMETER_CLASS>(constant->cls),
                                             TypeOf(constant->type),
                                             constant->rows,
                                             constant->columns,
                                             constant->elements,
                                             0,
                                             sampler ? 4 : constant->rows * constant->columns * constant->elements * 4,
                                             nullptr};
        }
        *count = 1;
        return D3D_OK;
    }

    UINT GetSamplerIndex(D3DXHANDLE handle) override {
        const ShaderConstant* constant = Find(handle);
        return constant && constant->cls == ConstantClass::Object ? constant->firstRegister : static_cast<UINT>(-1);
    }

    HRESULT SetMatrix(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrix) override {
        return SetMatrixArray(device, handle, matrix, 1);
    }

    HRESULT SetMatrixArray(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrices,
                           UINT count) override {
        return WriteMatrices(device, handle, matrices, count, false);
    }

    HRESULT SetMatrixTransposeArray(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrices,
                                    UINT count) override {
        return WriteMatrices(device, handle, matrices, count, true);
    }

    HRESULT SetFloatArray(IDirect3DDevice9* device, D3DXHANDLE handle, const float* values, UINT count) override {
        const ShaderConstant* constant = Settable(device, handle);
        if (!constant || (!values && count)) return D3DERR_INVALIDCALL;
        RegisterWrite write(*constant);
        const UINT perElement = constant->rows * constant->columns;
        count = std::min<UINT>(count, perElement * constant->elements);
        for (UINT i = 0; i < count; ++i)
            write.Put(i / perElement, i % perElement / constant->columns, i % constant->columns, values[i]);
        return write.To(device, stage_);
    }

    HRESULT SetInt(IDirect3DDevice9* device, D3DXHANDLE handle, INT value) override {
        const ShaderConstant* constant = Settable(device, handle);
        if (!constant) return D3DERR_INVALIDCALL;
        return WriteScalar(device, *constant, constant->type == ConstantType::Bool ? (value != 0) : value);
    }

    HRESULT SetBool(IDirect3DDevice9* device, D3DXHANDLE handle, BOOL value) override {
        const ShaderConstant* constant = Settable(device, handle);
        if (!constant) return D3DERR_INVALIDCALL;
        return WriteScalar(device, *constant, value != 0);
    }

private:
    const ShaderConstant* Find(D3DXHANDLE handle) const {
        if (!handle) return nullptr;
        for (const ShaderConstant& constant : constants_)
            if (constant.name.c_str() == handle) return &constant;
        return nullptr;
    }

    // A constant of this table with registers to write; samplers have none.
    const ShaderConstant* Settable(IDirect3DDevice9* device, D3DXHANDLE handle) const {
        const ShaderConstant* constant = Find(handle);
        return device && constant && constant->cls != ConstantClass::Object ? constant : nullptr;
    }

    HRESULT WriteScalar(IDirect3DDevice9* device, const ShaderConstant& constant, float value) {
        RegisterWrite write(constant);
        write.Put(0, 0, 0, value);
        return write.To(device, stage_);
    }

    HRESULT WriteMatrices(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrices, UINT count,
                          bool transposed) {
        const ShaderConstant* constant = Settable(device, handle);
        if (!constant || (!matrices && count)) return D3DERR_INVALIDCALL;
        RegisterWrite write(*constant);
        count = std::min<UINT>(count, constant->elements);
        for (UINT e = 0; e < count; ++e)
            for (UINT row = 0; row < std::min<UINT>(constant->rows, 4); ++row)
                for (UINT column = 0; column < std::min<UINT>(constant->columns, 4); ++column)
                    write.Put(e, row, column, transposed ? matrices[e].m[column][row] : matrices[e].m[row][column]);
        return write.To(device, stage_);
    }

    ShaderStage stage_;
    std::vector<ShaderConstant> constants_;
    ULONG references_ = 1;
};

// What the compile sees before the source: the macros and the matrix packing asked for.
std::string Preamble(const D3DXMACRO* defines, DWORD flags) {
    std::string preamble;
    if (flags & D3DXSHADER_PACKMATRIX_ROWMAJOR) preamble += "#pragma pack_matrix(row_major)\n";
    else if (flags & D3DXSHADER_PACKMATRIX_COLUMNMAJOR) preamble += "#pragma pack_matrix(column_major)\n";
    for (const D3DXMACRO* define = defines; define && define->Name; ++define)
        preamble +=
            std::string("#define ") + define->Name + " " + (define->Definition ? define->Definition : "") + "\n";
    return preamble;
}

}  // namespace

HRESULT D3DXCompileShader(const char* source, UINT length, const D3DXMACRO* defines, ID3DXInclude* include,
                          const char* entryPoint, const char* profile, DWORD flags, ID3DXBuffer** code,
                          ID3DXBuffer** errors, ID3DXConstantTable** constants) {
    LoadPhaseTimer timer(LoadPhase::ShaderCompile);
    if (code) *code = nullptr;
    if (errors) *errors = nullptr;
    if (constants) *constants = nullptr;

    std::string text, expanded;
    CompiledShader compiled;
    bool ok = false;
    if (!entryPoint || !*entryPoint)
        text = "error: no entry point given";
    else if (!source)
        text = "error: no source given";
    else if (ExpandIncludes(std::string_view(source, length), include, &expanded, &text))
        ok = CompileHlslIsolated(expanded.data(), expanded.size(), entryPoint, profile, &compiled, &text,
                                 Preamble(defines, flags));

    if (!ok) {
        if (errors) *errors = new TextBuffer(text.empty() ? std::string("compilation failed") : text);
        return kCompileFailed;
    }
    if (errors && !text.empty()) *errors = new TextBuffer(text);
    if (constants) *constants = new ConstantTable(compiled.stage, compiled.constants);
    if (code) *code = new CodeBuffer(std::move(compiled));
    return D3D_OK;
}

HRESULT CheckShaderPairLinks(ID3DXBuffer* vertexCode, ID3DXBuffer* pixelCode, ID3DXBuffer** errors) {
    if (errors) *errors = nullptr;
    auto stageOf = [](ID3DXBuffer* code, ShaderStage stage) -> const CompiledShader* {
        const auto* compiled = code ? static_cast<const CompiledShader*>(code->GetBufferPointer()) : nullptr;
        return compiled && compiled->magic == kCompiledShaderMagic && compiled->stage == stage ? compiled : nullptr;
    };
    const CompiledShader* vertex = stageOf(vertexCode, ShaderStage::Vertex);
    const CompiledShader* pixel = stageOf(pixelCode, ShaderStage::Pixel);
    if (!vertex || !pixel) return D3DERR_INVALIDCALL;
    std::string log;
    if (StagesLink(*vertex, *pixel, &log)) return D3D_OK;
    if (errors) *errors = new TextBuffer(kStagesDoNotLink + log);
    return kCompileFailed;
}
