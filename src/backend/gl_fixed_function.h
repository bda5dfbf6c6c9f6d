// The fixed-function pipeline as GLSL: one program per combination of the
// states that change its code, generated on first use and kept.
#pragma once

#include <epoxy/gl.h>

#include <map>
#include <tuple>

#include "backend/d3d9.h"

struct FixedFunctionKey {
    bool diffuse = false;     // the vertices carry a colour
    bool texcoord = false;    // and texture coordinates
    bool texture = false;     // a 2D texture is bound to stage 0
    bool points = false;      // drawing a point list
    bool pointSprite = false;
    bool pointScale = false;
    bool lighting = false;
    DWORD alphaFunc = 0;  // 0: no alpha test
    DWORD colourOp = 0, colourArg1 = 0, colourArg2 = 0;
    DWORD alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;

    auto Tie() const {
        return std::tie(diffuse, texcoord, texture, points, pointSprite, pointScale, lighting, alphaFunc, colourOp,
                        colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2);
    }
    bool operator<(const FixedFunctionKey& other) const { return Tie() < other.Tie(); }
};

// Attribute locations of the fixed-function vertex layout.
enum : GLuint { kPositionAttribute = 0, kColourAttribute = 1, kTexcoordAttribute = 2 };

struct FixedFunctionProgram {
    GLuint program = 0;
    GLint worldViewProjection = -1, worldView = -1, halfPixel = -1, alphaRef = -1;
    GLint pointSize = -1, pointMin = -1, pointScale = -1, viewportHeight = -1;
};

class FixedFunctionCache {
public:
    ~FixedFunctionCache();
    // Zero program when GLSL compilation fails (reported on stderr).
    const FixedFunctionProgram& Get(const FixedFunctionKey& key);
    size_t size() const { return programs_.size(); }

private:
    std::map<FixedFunctionKey, FixedFunctionProgram> programs_;
};

// Compiles and links; 0 with the log on stderr on failure.
GLuint LinkProgram(const char* vertexSource, const char* fragmentSource);
