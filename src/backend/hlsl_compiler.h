// DX9-style HLSL to GLSL 330, with the reflection that constant tables and
// the OpenGL device need. Stage inputs, outputs and varyings are renamed by
// semantic so that stages link, and vertex inputs bind, by meaning.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "backend/compiled_shader.h"

// profile: "vs_N_0" or "ps_N_0" with N 1..3, matching the stage. On failure
// errors holds the compiler's text.
bool CompileHlsl(const char* source, size_t length, const char* profile, CompiledShader* compiled,
                 std::string* errors);

// Far beyond any real compile, even under the sanitizers.
constexpr std::chrono::milliseconds kHlslCompileTimeLimit{60000};

// CompileHlsl in a child process that serves one compile after another: a
// crash of glslang or SPIRV-Cross on this source, or a compile that outlasts
// timeLimit, becomes a failure with a text that says so, and the next
// compile gets a fresh child.
bool CompileHlslIsolated(const char* source, size_t length, const char* profile, CompiledShader* compiled,
                         std::string* errors, std::chrono::milliseconds timeLimit = kHlslCompileTimeLimit);

// "TEXCOORD" -> "TEXCOORD0", "color1" -> "COLOR1": a semantic with its index.
std::string NormalizedSemantic(const std::string& semantic);
