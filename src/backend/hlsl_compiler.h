// DX9-style HLSL to GLSL 330, with the reflection that constant tables and
// the OpenGL device need. Stage inputs, outputs and varyings are renamed by
// semantic so that stages link, and vertex inputs bind, by meaning.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "backend/compiled_shader.h"

// entry: the function that is the stage's main, as D3DX takes it; the
// source's other functions are ordinary ones. profile: a D3DX 9 vertex or
// pixel profile (vs_1_1 .. vs_3_0, ps_1_1 .. ps_3_0, the _a, _b and _sw
// ones; ps_1_x compile as ps_2_0, as D3DX's backwards-compatible mode
// does); vs_1_0 to ps_3_0 of the form "xs_N_0" as well. On failure errors
// holds the compiler's text. preamble: lines compiled before the source
// (macros, the matrix packing) that do not count in its line numbers.
bool CompileHlsl(const char* source, size_t length, const char* entry, const char* profile, CompiledShader* compiled,
                 std::string* errors, const std::string& preamble = std::string());

// Far beyond any real compile, even under the sanitizers.
constexpr std::chrono::milliseconds kHlslCompileTimeLimit{60000};

// CompileHlsl in a child process that serves one compile after another: a
// crash of glslang or SPIRV-Cross on this source, or a compile that outlasts
// timeLimit, becomes a failure with a text that says so, and the next
// compile gets a fresh child.
bool CompileHlslIsolated(const char* source, size_t length, const char* entry, const char* profile,
                         CompiledShader* compiled, std::string* errors, const std::string& preamble = std::string(),
                         std::chrono::milliseconds timeLimit = kHlslCompileTimeLimit);

// "TEXCOORD" -> "TEXCOORD0", "color1" -> "COLOR1": a semantic with its index.
std::string NormalizedSemantic(const std::string& semantic);
