// Linked GL programs, one per pair of vertex and pixel halves: a compiled
// shader stage or the fixed-function source for the current states.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <string>

#include "backend/gl_fixed_function.h"
#include "backend/gl_shaders.h"

// Uniform block bindings of the two HLSL stages.
enum : GLuint { kVertexBlockBinding = 0, kPixelBlockBinding = 1 };

struct ProgramKey {
    uint64_t vertexSerial = 0, pixelSerial = 0;  // 0: the fixed-function half
    DWORD alphaFunc = 0;                         // 0: no alpha test
    FixedFunctionKey fixed;                      // default when both halves are shaders
    bool operator<(const ProgramKey& other) const {
        return std::tie(vertexSerial, pixelSerial, alphaFunc) <
                   std::tie(other.vertexSerial, other.pixelSerial, other.alphaFunc) ||
               (std::tie(vertexSerial, pixelSerial, alphaFunc) ==
                    std::tie(other.vertexSerial, other.pixelSerial, other.alphaFunc) &&
                fixed < other.fixed);
    }
};

struct LinkedProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1, worldView = -1, halfPixel = -1, alphaRef = -1;
    GLint pointSize = -1, pointMin = -1, pointMax = -1, pointScale = -1, viewportHeight = -1;
    std::map<std::string, GLint> attributes;  // semantic -> location, active inputs only
};

// Programs linked so far by every cache of the process: a link after
// loading is a frame that waits on the driver.
uint64_t ProgramsLinked();

class ProgramCache {
public:
    ~ProgramCache();
    // A zero program when GLSL compilation or linking fails: reported once,
    // in the box a compile failure of the pair's shader gets.
    const LinkedProgram& Get(const ProgramKey& key, const GlShaderStage* vertex, const GlShaderStage* pixel);

private:
    std::map<ProgramKey, LinkedProgram> programs_;
};
