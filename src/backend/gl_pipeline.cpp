#include "backend/gl_pipeline.h"

#include <cstring>

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_ONE: return GL_ONE;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        default: return GL_ONE;
    }
}

GLenum Comparison(DWORD func) {
    switch (func) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

void ColourMask(GLuint target, DWORD mask) {
    glColorMaski(target, mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
}

GLint Address(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        default: return GL_REPEAT;
    }
}

}  // namespace

DWORD StateValue(const StateTable& table, uint32_t state) {
    auto found = table.find(state);
    return found == table.end() ? 0 : found->second;
}

void ApplyRenderStates(const StateTable& states, bool depthBuffer) {
    if (depthBuffer && StateValue(states, D3DRS_ZENABLE) != D3DZB_FALSE) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(Comparison(StateValue(states, D3DRS_ZFUNC)));
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(StateValue(states, D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);

    if (StateValue(states, D3DRS_ALPHABLENDENABLE)) {
        glEnable(GL_BLEND);
        glBlendFunc(BlendFactor(StateValue(states, D3DRS_SRCBLEND)), BlendFactor(StateValue(states, D3DRS_DESTBLEND)));
    } else {
        glDisable(GL_BLEND);
    }

    // Row 0 is the top, so GL sees every triangle mirrored: a triangle
    // clockwise on the Direct3D screen, Direct3D's front (VFACE positive),
    // is counter-clockwise to GL.
    const DWORD cull = StateValue(states, D3DRS_CULLMODE);
    glFrontFace(GL_CCW);
    if (cull == D3DCULL_CW || cull == D3DCULL_CCW) {
        glEnable(GL_CULL_FACE);
        glCullFace(cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }

    ColourMask(0, StateValue(states, D3DRS_COLORWRITEENABLE));
    ColourMask(1, StateValue(states, D3DRS_COLORWRITEENABLE1));
    ColourMask(2, StateValue(states, D3DRS_COLORWRITEENABLE2));
    ColourMask(3, StateValue(states, D3DRS_COLORWRITEENABLE3));
}

SamplerParameters SamplerParametersOf(const StateTable& states) {
    const bool linearMin = StateValue(states, D3DSAMP_MINFILTER) == D3DTEXF_LINEAR;
    const DWORD mip = StateValue(states, D3DSAMP_MIPFILTER);
    GLint minFilter = linearMin ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT) minFilter = linearMin ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (mip == D3DTEXF_LINEAR) minFilter = linearMin ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    return {minFilter, StateValue(states, D3DSAMP_MAGFILTER) == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST,
            Address(StateValue(states, D3DSAMP_ADDRESSU)), Address(StateValue(states, D3DSAMP_ADDRESSV))};
}

StateTable DefaultRenderStates(bool depthBuffer) {
    return {
        {D3DRS_ZENABLE, depthBuffer ? D3DZB_TRUE : D3DZB_FALSE},
        {D3DRS_FILLMODE, 3},
        {D3DRS_SHADEMODE, 2},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_POINTSIZE, FloatBits(1.0f)},
        {D3DRS_POINTSIZE_MIN, FloatBits(1.0f)},
        {D3DRS_POINTSIZE_MAX, FloatBits(64.0f)},  // Direct3D's default: scaled sprites stop growing there
        {D3DRS_POINTSPRITEENABLE, FALSE},
        {D3DRS_POINTSCALEENABLE, FALSE},
        {D3DRS_POINTSCALE_A, FloatBits(1.0f)},
        {D3DRS_POINTSCALE_B, FloatBits(0.0f)},
        {D3DRS_POINTSCALE_C, FloatBits(0.0f)},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_COLORWRITEENABLE1, 0xF},
        {D3DRS_COLORWRITEENABLE2, 0xF},
        {D3DRS_COLORWRITEENABLE3, 0xF},
    };
}

StateTable DefaultSamplerStates() {
    return {
        {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
        {D3DSAMP_MAGFILTER, D3DTEXF_POINT},   {D3DSAMP_MINFILTER, D3DTEXF_POINT},
        {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
    };
}

StateTable DefaultStageStates(DWORD stage) {
    return {
        {D3DTSS_COLOROP, stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE},
        {D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {D3DTSS_COLORARG2, D3DTA_CURRENT},
        {D3DTSS_ALPHAOP, stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE},
        {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
        {D3DTSS_ALPHAARG2, D3DTA_CURRENT},
    };
}
