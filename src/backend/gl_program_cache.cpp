#include "backend/gl_program_cache.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "backend/gl_stage_link.h"
#include "backend/gl_state_shadow.h"
#include "backend/win32.h"

namespace {

uint64_t g_programsLinked = 0;

// The shader, or 0 with GL's log in `log`.
GLuint Compile(GLenum stage, const char* source, std::string* log) {
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        char text[4096] = {};
        glGetShaderInfoLog(shader, sizeof text, nullptr, text);
        *log += std::string(stage == GL_VERTEX_SHADER ? "vertex: " : "pixel: ") + text;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource, std::string* log) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource, log);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource, log);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char text[4096] = {};
            glGetProgramInfoLog(program, sizeof text, nullptr, text);
            *log += text;
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

// Shown as the shader's compile failure: the pair is where HLSL meets GL.
void ReportLinkFailure(const GlShaderStage* vertex, const GlShaderStage* pixel, const std::string& log) {
    std::fprintf(stderr, "GLSL link failed: %s\n", log.c_str());
    if (!vertex && !pixel) return;  // the fixed-function sources alone: nothing a demo maker wrote
    const std::string text = kStagesDoNotLink + log;
    MessageBoxA(nullptr, text.c_str(), pixel ? "HLSL PixelShader Compile Failure" : "HLSL VertexShader Compile Failure",
                MB_ICONEXCLAMATION);
}

// Each sampler (each element of a sampler array) reads the unit of its register.
void BindSamplers(GLuint program, const GlShaderStage* stage) {
    if (!stage) return;
    for (const ShaderConstant& constant : stage->compiled().constants) {
        if (constant.cls != ConstantClass::Object) continue;
        std::vector<GLint> units(constant.registerCount);
        for (uint32_t i = 0; i < constant.registerCount; ++i) units[i] = static_cast<GLint>(constant.firstRegister + i);
        const std::string name = SamplerGlslName(stage->compiled().stage, constant.firstRegister);
        glUniform1iv(glGetUniformLocation(program, name.c_str()), static_cast<GLsizei>(units.size()), units.data());
    }
}

void BindBlock(GLuint program, const char* name, GLuint binding) {
    const GLuint index = glGetUniformBlockIndex(program, name);
    if (index != GL_INVALID_INDEX) glUniformBlockBinding(program, index, binding);
}

std::map<std::string, GLint> ActiveInputs(GLuint program) {
    std::map<std::string, GLint> inputs;
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_ATTRIBUTES, &count);
    const size_t prefix = std::strlen(kInputPrefix);
    for (GLint i = 0; i < count; ++i) {
        char name[256] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveAttrib(program, static_cast<GLuint>(i), sizeof name, nullptr, &size, &type, name);
        if (std::strncmp(name, kInputPrefix, prefix) == 0) inputs[name + prefix] = glGetAttribLocation(program, name);
    }
    return inputs;
}

}  // namespace

uint64_t ProgramsLinked() { return g_programsLinked; }

ProgramCache::~ProgramCache() {
    for (auto& entry : programs_) glDeleteProgram(entry.second.program);
}

const LinkedProgram& ProgramCache::Get(const ProgramKey& key, const GlShaderStage* vertex,
                                       const GlShaderStage* pixel) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
    const std::string vertexSource = vertex ? vertex->glsl() : FixedFunctionVertexSource(key.fixed);
    const std::string pixelSource =
        (pixel ? pixel->glsl() : FixedFunctionFragmentSource(key.fixed)) +
        PixelMainSource(vertex ? vertex->compiled().outputs : FixedFunctionVaryings(),
                        pixel ? pixel->compiled().inputs : FixedFunctionVaryings(),
                        pixel ? pixel->compiled().outputs : FixedFunctionPixelOutputs(), key.alphaFunc);
    LinkedProgram made;
    std::string log;
    made.program = LinkProgram(vertexSource.c_str(), pixelSource.c_str(), &log);
    ++g_programsLinked;
    if (!made.program) {
        ReportLinkFailure(vertex, pixel, log);
    } else {
        const GLuint program = made.program;
        made.worldViewProjection = glGetUniformLocation(program, "d3d_WorldViewProjection");
        made.worldView = glGetUniformLocation(program, "d3d_WorldView");
        made.halfPixel = glGetUniformLocation(program, "d3d_HalfPixel");
        made.alphaRef = glGetUniformLocation(program, "d3d_AlphaRef");
        made.pointSize = glGetUniformLocation(program, "d3d_PointSize");
        made.pointMin = glGetUniformLocation(program, "d3d_PointMin");
        made.pointMax = glGetUniformLocation(program, "d3d_PointMax");
        made.pointScale = glGetUniformLocation(program, "d3d_PointScale");
        made.viewportHeight = glGetUniformLocation(program, "d3d_ViewportHeight");
        made.attributes = ActiveInputs(program);
        UseGlProgram(program);
        glUniform1i(glGetUniformLocation(program, "d3d_Texture0"), 0);
        BindSamplers(program, vertex);
        BindSamplers(program, pixel);
        BindBlock(program, kVertexBlockName, kVertexBlockBinding);
        BindBlock(program, kPixelBlockName, kPixelBlockBinding);
    }
    return programs_.emplace(key, made).first->second;
}
