#include "backend/d3dx9_shader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "backend/hlsl_compiler.h"

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

    HRESULT SetMatrix(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrix) override {
        return SetMatrixArray(device, handle, matrix, 1);
    }

    HRESULT SetMatrixArray(IDirect3DDevice9* device, D3DXHANDLE handle, const D3DMATRIX* matrices,
                           UINT count) override {
        const ShaderConstant* constant = Find(handle);
        if (!constant || !device || (!matrices && count)) return D3DERR_INVALIDCALL;
        const UINT perElement = RegistersPerElement(*constant);
        const UINT used = std::min<UINT>(perElement, 4);
        count = std::min<UINT>(count, constant->elements);
        std::vector<float> registers(static_cast<size_t>(count) * perElement * 4, 0.0f);
        for (UINT e = 0; e < count; ++e)
            for (UINT column = 0; column < used; ++column)
                for (UINT row = 0; row < 4; ++row)
                    registers[(e * perElement + column) * 4 + row] = matrices[e].m[row][column];
        return Write(device, *constant, registers);
    }

    HRESULT SetFloatArray(IDirect3DDevice9* device, D3DXHANDLE handle, const float* values, UINT count) override {
        const ShaderConstant* constant = Find(handle);
        if (!constant || !device || (!values && count)) return D3DERR_INVALIDCALL;
        // Each register takes one element's `columns` floats; the rest of it stays zero.
        const UINT columns = std::clamp<UINT>(constant->columns, 1, 4);
        const UINT registerCount = std::min<UINT>((count + columns - 1) / columns, constant->registerCount);
        std::vector<float> registers(static_cast<size_t>(registerCount) * 4, 0.0f);
        for (UINT r = 0; r < registerCount; ++r)
            for (UINT c = 0; c < columns && r * columns + c < count; ++c) registers[r * 4 + c] = values[r * columns + c];
        return Write(device, *constant, registers);
    }

    HRESULT SetInt(IDirect3DDevice9* device, D3DXHANDLE handle, INT value) override {
        const ShaderConstant* constant = Find(handle);
        if (!constant || !device) return D3DERR_INVALIDCALL;
        return Write(device, *constant, {static_cast<float>(value), 0.0f, 0.0f, 0.0f});
    }

private:
    const ShaderConstant* Find(D3DXHANDLE handle) const {
        if (!handle) return nullptr;
        for (const ShaderConstant& constant : constants_)
            if (constant.name.c_str() == handle) return &constant;
        return nullptr;
    }

    static UINT RegistersPerElement(const ShaderConstant& constant) {
        return constant.elements ? std::max<UINT>(constant.registerCount / constant.elements, 1) : 1;
    }

    HRESULT Write(IDirect3DDevice9* device, const ShaderConstant& constant, const std::vector<float>& registers) {
        const UINT count = std::min<UINT>(static_cast<UINT>(registers.size() / 4), constant.registerCount);
        if (count == 0) return D3D_OK;
        return stage_ == ShaderStage::Vertex
                   ? device->SetVertexShaderConstantF(constant.firstRegister, registers.data(), count)
                   : device->SetPixelShaderConstantF(constant.firstRegister, registers.data(), count);
    }

    ShaderStage stage_;
    std::vector<ShaderConstant> constants_;
    ULONG references_ = 1;
};

}  // namespace

HRESULT D3DXCompileShader(const char* source, UINT length, const D3DXMACRO*, ID3DXInclude*, const char* entryPoint,
                          const char* profile, DWORD, ID3DXBuffer** code, ID3DXBuffer** errors,
                          ID3DXConstantTable** constants) {
    if (code) *code = nullptr;
    if (errors) *errors = nullptr;
    if (constants) *constants = nullptr;

    std::string text;
    CompiledShader compiled;
    bool ok = false;
    // The HLSL front end always starts at main.
    if (!entryPoint || std::strcmp(entryPoint, "main") != 0)
        text = std::string("entry point ") + (entryPoint ? entryPoint : "(null)") + " is not supported, only main";
    else
        ok = CompileHlsl(source, length, profile, &compiled, &text);

    if (!ok) {
        if (errors) *errors = new TextBuffer(text.empty() ? std::string("compilation failed") : text);
        return kCompileFailed;
    }
    if (errors && !text.empty()) *errors = new TextBuffer(text);
    if (constants) *constants = new ConstantTable(compiled.stage, compiled.constants);
    if (code) *code = new CodeBuffer(std::move(compiled));
    return D3D_OK;
}
