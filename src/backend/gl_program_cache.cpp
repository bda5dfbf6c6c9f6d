#include "backend/gl_program_cache.h"

#include <cstdio>
#include <cstring>

namespace {

GLuint Compile(GLenum stage, const char* source) {
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "GLSL compile failed: %s\n%s\n", log, source);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(const char* vertexSource, const char* fragmentSource) {
    const GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vertex && fragment) {
        program = glCreateProgram();
        glAttachShader(program, vertex);
        glAttachShader(program, fragment);
        glLinkProgram(program);
        GLint linked = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char log[2048] = {};
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            std::fprintf(stderr, "GLSL link failed: %s\n", log);
            glDeleteProgram(program);
            program = 0;
        }
    }
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

void BindSamplers(GLuint program, const GlShaderStage* stage) {
    if (!stage) return;
    for (const ShaderSampler& sampler : stage->compiled().samplers)
        glUniform1i(glGetUniformLocation(program, sampler.name.c_str()), static_cast<GLint>(sampler.unit));
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

ProgramCache::~ProgramCache() {
    for (auto& entry : programs_) glDeleteProgram(entry.second.program);
}

const LinkedProgram& ProgramCache::Get(const ProgramKey& key, const GlShaderStage* vertex,
                                       const GlShaderStage* pixel) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
    const std::string vertexSource = vertex ? vertex->glsl() : FixedFunctionVertexSource(key.fixed);
    const std::string pixelSource = pixel ? pixel->glsl() : FixedFunctionFragmentSource(key.fixed);
    LinkedProgram made;
    made.program = LinkProgram(vertexSource.c_str(), pixelSource.c_str());
    if (made.program) {
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
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "d3d_Texture0"), 0);
        BindSamplers(program, vertex);
        BindSamplers(program, pixel);
        BindBlock(program, kVertexBlockName, kVertexBlockBinding);
        BindBlock(program, kPixelBlockName, kPixelBlockBinding);
    }
    return programs_.emplace(key, made).first->second;
}
