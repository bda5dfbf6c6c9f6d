#include "backend/gl_fixed_function.h"

#include <cstdio>
#include <string>

#include "backend/gl_conventions.h"

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

std::string Argument(DWORD argument) { return argument == D3DTA_TEXTURE ? "texel" : "diffuse"; }

// A texture operation on two arguments; swizzle picks colour or alpha.
std::string Operation(DWORD op, DWORD arg1, DWORD arg2, const char* swizzle) {
    const std::string a = Argument(arg1) + swizzle, b = Argument(arg2) + swizzle;
    switch (op) {
        case D3DTOP_SELECTARG1: return a;
        case D3DTOP_SELECTARG2: return b;
        case D3DTOP_MODULATE: return a + " * " + b;
        default: return std::string("diffuse") + swizzle;  // disabled: the stage passes the diffuse colour on
    }
}

std::string Comparison(DWORD func) {
    switch (func) {
        case D3DCMP_NEVER: return "false";
        case D3DCMP_LESS: return "alpha < d3d_AlphaRef";
        case D3DCMP_EQUAL: return "alpha == d3d_AlphaRef";
        case D3DCMP_LESSEQUAL: return "alpha <= d3d_AlphaRef";
        case D3DCMP_GREATER: return "alpha > d3d_AlphaRef";
        case D3DCMP_NOTEQUAL: return "alpha != d3d_AlphaRef";
        case D3DCMP_GREATEREQUAL: return "alpha >= d3d_AlphaRef";
        default: return "true";
    }
}

std::string VertexSource(const FixedFunctionKey& key) {
    std::string source = "#version 330 core\n";
    source += kGlslClipFromDirect3D;
    source += R"(
layout(location = 0) in vec3 inPosition;
layout(location = 1) in vec4 inColour;
layout(location = 2) in vec2 inTexcoord;
uniform mat4 d3d_WorldViewProjection;  // row-major rows as GL columns: p * M
uniform mat4 d3d_WorldView;
uniform float d3d_PointSize;
uniform float d3d_PointMin;
uniform vec3 d3d_PointScale;
uniform float d3d_ViewportHeight;
out vec4 diffuseIn;
out vec2 texcoordIn;
void main() {
    gl_Position = ClipFromDirect3D(d3d_WorldViewProjection * vec4(inPosition, 1.0));
)";
    source += key.diffuse ? "    diffuseIn = inColour;\n" : "    diffuseIn = vec4(1.0);\n";
    source += key.texcoord ? "    texcoordIn = inTexcoord;\n" : "    texcoordIn = vec2(0.0);\n";
    if (key.points && key.pointScale)
        source += R"(    float eye = length((d3d_WorldView * vec4(inPosition, 1.0)).xyz);
    float scale = d3d_PointScale.x + d3d_PointScale.y * eye + d3d_PointScale.z * eye * eye;
    gl_PointSize = max(d3d_PointMin, d3d_ViewportHeight * d3d_PointSize * sqrt(1.0 / max(scale, 1e-12)));
)";
    else if (key.points)
        source += "    gl_PointSize = max(d3d_PointMin, d3d_PointSize);\n";
    return source + "}\n";
}

std::string FragmentSource(const FixedFunctionKey& key) {
    std::string source = R"(#version 330 core
in vec4 diffuseIn;
in vec2 texcoordIn;
uniform sampler2D d3d_Texture0;
uniform float d3d_AlphaRef;
layout(location = 0) out vec4 colourOut;
void main() {
)";
    const char* coordinates = key.points && key.pointSprite ? "gl_PointCoord" : "texcoordIn";
    source += key.texture ? std::string("    vec4 texel = texture(d3d_Texture0, ") + coordinates + ");\n"
                          : "    vec4 texel = vec4(1.0);\n";
    // No lights are emulated: lit vertices keep only their alpha.
    source += key.lighting ? "    vec4 diffuse = vec4(0.0, 0.0, 0.0, diffuseIn.a);\n" : "    vec4 diffuse = diffuseIn;\n";
    source += "    vec4 result = vec4(" + Operation(key.colourOp, key.colourArg1, key.colourArg2, ".rgb") + ", " +
              Operation(key.alphaOp, key.alphaArg1, key.alphaArg2, ".a") + ");\n";
    if (key.alphaFunc)
        source += "    float alpha = floor(clamp(result.a, 0.0, 1.0) * 255.0 + 0.5);\n    if (!(" +
                  Comparison(key.alphaFunc) + ")) discard;\n";
    return source + "    colourOut = result;\n}\n";
}

}  // namespace

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

FixedFunctionCache::~FixedFunctionCache() {
    for (auto& entry : programs_) glDeleteProgram(entry.second.program);
}

const FixedFunctionProgram& FixedFunctionCache::Get(const FixedFunctionKey& key) {
    auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
    FixedFunctionProgram made;
    made.program = LinkProgram(VertexSource(key).c_str(), FragmentSource(key).c_str());
    if (made.program) {
        made.worldViewProjection = glGetUniformLocation(made.program, "d3d_WorldViewProjection");
        made.worldView = glGetUniformLocation(made.program, "d3d_WorldView");
        made.halfPixel = glGetUniformLocation(made.program, "d3d_HalfPixel");
        made.alphaRef = glGetUniformLocation(made.program, "d3d_AlphaRef");
        made.pointSize = glGetUniformLocation(made.program, "d3d_PointSize");
        made.pointMin = glGetUniformLocation(made.program, "d3d_PointMin");
        made.pointScale = glGetUniformLocation(made.program, "d3d_PointScale");
        made.viewportHeight = glGetUniformLocation(made.program, "d3d_ViewportHeight");
        glUseProgram(made.program);
        glUniform1i(glGetUniformLocation(made.program, "d3d_Texture0"), 0);
    }
    return programs_.emplace(key, made).first->second;
}
