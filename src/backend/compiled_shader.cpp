#include "backend/compiled_shader.h"

#include <cstring>

uint32_t RegistersPerElement(const ShaderConstant& constant) {
    switch (constant.cls) {
        case ConstantClass::MatrixRows: return constant.rows;
        case ConstantClass::MatrixColumns: return constant.columns;
        default: return 1;
    }
}

uint32_t ComponentsPerRegister(const ShaderConstant& constant) {
    return constant.cls == ConstantClass::MatrixColumns ? constant.rows : constant.columns;
}

std::string SamplerGlslName(ShaderStage stage, uint32_t unit) {
    return (stage == ShaderStage::Vertex ? "d3d_vs_s" : "d3d_ps_s") + std::to_string(unit);
}

namespace {

// Little-endian words and length-prefixed texts, in one fixed order.
class Writer {
public:
    void Word(uint32_t value) { bytes.append(reinterpret_cast<const char*>(&value), sizeof value); }
    void Text(std::string_view text) {
        Word(static_cast<uint32_t>(text.size()));
        bytes += text;
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool Word(uint32_t* value) {
        if (bytes_.size() - at_ < sizeof *value) return false;
        std::memcpy(value, bytes_.data() + at_, sizeof *value);
        at_ += sizeof *value;
        return true;
    }
    template <typename Enum>
    bool Enumeration(Enum* value, uint32_t count) {
        uint32_t word;
        if (!Word(&word) || word >= count) return false;
        *value = static_cast<Enum>(word);
        return true;
    }
    bool Text(std::string* text) {
        uint32_t size;
        if (!Word(&size) || size > bytes_.size() - at_) return false;
        text->assign(bytes_, at_, size);
        at_ += size;
        return true;
    }
    // A count of records each at least minimumBytes long that still fit.
    bool Count(uint32_t* count, size_t minimumBytes) {
        return Word(count) && *count <= (bytes_.size() - at_) / minimumBytes;
    }
    bool AtEnd() const { return at_ == bytes_.size(); }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

void WriteVaryings(Writer* out, const std::vector<ShaderVarying>& varyings) {
    out->Word(static_cast<uint32_t>(varyings.size()));
    for (const ShaderVarying& varying : varyings) {
        out->Text(varying.semantic);
        out->Word(varying.components);
        out->Word(varying.integer);
    }
}

bool ReadVaryings(Reader* in, std::vector<ShaderVarying>* varyings) {
    uint32_t count;
    if (!in->Count(&count, 12)) return false;
    varyings->resize(count);
    for (ShaderVarying& varying : *varyings) {
        uint32_t integer;
        if (!in->Text(&varying.semantic) || !in->Word(&varying.components) || !in->Word(&integer)) return false;
        varying.integer = integer != 0;
    }
    return true;
}

}  // namespace

std::string SerializeCompileRequest(std::string_view source, std::string_view entry, std::string_view profile,
                                    std::string_view preamble) {
    Writer out;
    out.Text(source);
    out.Text(entry);
    out.Text(profile);
    out.Text(preamble);
    return out.bytes;
}

bool DeserializeCompileRequest(const std::string& bytes, std::string* source, std::string* entry, std::string* profile,
                               std::string* preamble) {
    Reader in(bytes);
    return in.Text(source) && in.Text(entry) && in.Text(profile) && in.Text(preamble) && in.AtEnd();
}

std::string SerializeCompileResult(bool ok, const std::string& errors, const CompiledShader& compiled) {
    Writer out;
    out.Word(ok);
    out.Text(errors);
    out.Word(static_cast<uint32_t>(compiled.stage));
    out.Text(compiled.glsl);
    out.Text(compiled.blockName);
    out.Word(compiled.blockSize);
    out.Word(static_cast<uint32_t>(compiled.constants.size()));
    for (const ShaderConstant& constant : compiled.constants) {
        out.Text(constant.name);
        for (uint32_t word : {static_cast<uint32_t>(constant.cls), static_cast<uint32_t>(constant.type), constant.rows,
                              constant.columns, constant.elements, constant.firstRegister, constant.registerCount,
                              constant.offset, constant.arrayStride, constant.registerStride})
            out.Word(word);
    }
    WriteVaryings(&out, compiled.inputs);
    WriteVaryings(&out, compiled.outputs);
    return out.bytes;
}

bool DeserializeCompileResult(const std::string& bytes, bool* ok, std::string* errors, CompiledShader* compiled) {
    Reader in(bytes);
    CompiledShader read;
    uint32_t success, count;
    if (!in.Word(&success) || !in.Text(errors) || !in.Enumeration(&read.stage, 2) || !in.Text(&read.glsl) ||
        !in.Text(&read.blockName) || !in.Word(&read.blockSize) || !in.Count(&count, 44))
        return false;
    read.constants.resize(count);
    for (ShaderConstant& constant : read.constants) {
        if (!in.Text(&constant.name) || !in.Enumeration(&constant.cls, 5) || !in.Enumeration(&constant.type, 5))
            return false;
        for (uint32_t* word : {&constant.rows, &constant.columns, &constant.elements, &constant.firstRegister,
                               &constant.registerCount, &constant.offset, &constant.arrayStride,
                               &constant.registerStride})
            if (!in.Word(word)) return false;
    }
    if (!ReadVaryings(&in, &read.inputs) || !ReadVaryings(&in, &read.outputs) || !in.AtEnd()) return false;
    *ok = success != 0;
    *compiled = std::move(read);
    return true;
}
