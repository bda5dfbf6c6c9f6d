// Compiling a zero-terminated HLSL text and finding its constants by name.
#pragma once

#include <cstring>
#include <string>

#include "backend/hlsl_compiler.h"

inline bool CompileText(const char* source, const char* profile, CompiledShader* shader, std::string* errors) {
    return CompileHlsl(source, std::strlen(source), "main", profile, shader, errors);
}

// Null when the shader has no constant of that name.
inline const ShaderConstant* FindConstant(const CompiledShader& shader, const std::string& name) {
    for (const ShaderConstant& constant : shader.constants)
        if (constant.name == name) return &constant;
    return nullptr;
}
