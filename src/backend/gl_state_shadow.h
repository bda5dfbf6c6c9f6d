// What the OpenGL device last set on its context, so that a draw issues only
// the calls whose value changed: texture and sampler bindings, sampler
// parameters, the program, the array buffer, the vertex attribute arrays and
// the uniform buffers. Everything else that binds one of these (uploads,
// program set-up) goes through it, and deleting an object tells it, because
// GL resets every binding of a deleted object to zero.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <vector>

// The parameters of one of the device's sampler objects.
struct SamplerParameters {
    GLint minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0;
};

// Where a vertex attribute reads: the array buffer bound when it was set,
// and glVertexAttribPointer's arguments.
struct AttributeSource {
    GLuint buffer = 0;
    GLint size = 0;
    GLenum type = 0;
    GLboolean normalized = GL_FALSE;
    GLsizei stride = 0;
    uintptr_t offset = 0;
    bool operator==(const AttributeSource& other) const;
};

class GlStateShadow {
public:
    static constexpr GLuint kUnits = 8;         // texture units the device binds
    static constexpr GLuint kAttributes = 32;   // vertex attribute locations it tracks
    static constexpr GLuint kUniformBindings = 2;

    GlStateShadow() { Forget(); }
    // Nothing is known: the next call of every kind is issued.
    void Forget();

    void UseProgram(GLuint program);
    // target is GL_TEXTURE_2D or GL_TEXTURE_CUBE_MAP.
    void BindTexture(GLuint unit, GLenum target, GLuint texture);
    // Binds on whichever unit is active, for uploads and set-up.
    void BindTextureForUpload(GLenum target, GLuint texture);
    void BindSampler(GLuint unit, GLuint sampler);
    void SetSamplerParameters(GLuint unit, GLuint sampler, const SamplerParameters& parameters);
    void BindArrayBuffer(GLuint buffer);
    void BindElementBuffer(GLuint buffer);
    // Enables exactly the locations whose bit is set, of the first `locations`.
    void EnableAttributes(uint32_t mask, GLuint locations);
    // Points a location at the array buffer bound now.
    void SetAttributeSource(GLuint location, const AttributeSource& source);
    // Binds a buffer to an indexed uniform binding (and the generic target, as GL does).
    void BindUniformBufferBase(GLuint binding, GLuint buffer);
    // Fills a uniform buffer unless it already holds exactly these bytes.
    void FillUniformBuffer(GLuint slot, GLuint buffer, const std::vector<uint8_t>& bytes);

    // Deletes the objects and forgets every binding of them.
    void DeleteTexture(GLuint texture);
    void DeleteBuffer(GLuint buffer);

private:
    static constexpr GLuint kUnknown = 0xFFFFFFFFu;
    void ActiveUnit(GLuint unit);

    GLuint program_;
    GLuint activeUnit_;
    GLuint textures2D_[kUnits];
    GLuint cubeTextures_[kUnits];
    GLuint samplers_[kUnits];
    SamplerParameters samplerParameters_[kUnits];
    bool samplerParametersKnown_[kUnits];
    GLuint arrayBuffer_, elementBuffer_, uniformBuffer_;
    GLuint uniformBindings_[kUniformBindings];
    GLuint uniformFilled_[kUniformBindings];  // the buffer whose bytes are kept below
    std::vector<uint8_t> uniformBytes_[kUniformBindings];
    uint32_t enabledAttributes_;
    bool enabledKnown_;
    AttributeSource attributeSources_[kAttributes];
    bool attributeSourceKnown_[kAttributes];
};

// The shadow of the device whose context is current, or null when none is alive.
GlStateShadow* CurrentGlState();
void SetCurrentGlState(GlStateShadow* shadow);
// The resources' binds and deletions, through the current shadow when there is one.
void BindGlTextureForUpload(GLenum target, GLuint texture);
void DeleteGlTexture(GLuint texture);
void DeleteGlBuffer(GLuint buffer);
void UseGlProgram(GLuint program);
