#include "backend/gl_state_shadow.h"

#include <algorithm>

namespace {

GlStateShadow* g_current = nullptr;

}  // namespace

bool AttributeSource::operator==(const AttributeSource& other) const {
    return buffer == other.buffer && size == other.size && type == other.type && normalized == other.normalized &&
           stride == other.stride && offset == other.offset;
}

void GlStateShadow::Forget() {
    program_ = activeUnit_ = arrayBuffer_ = elementBuffer_ = uniformBuffer_ = kUnknown;
    std::fill(std::begin(textures2D_), std::end(textures2D_), kUnknown);
    std::fill(std::begin(cubeTextures_), std::end(cubeTextures_), kUnknown);
    std::fill(std::begin(samplers_), std::end(samplers_), kUnknown);
    std::fill(std::begin(samplerParametersKnown_), std::end(samplerParametersKnown_), false);
    std::fill(std::begin(uniformBindings_), std::end(uniformBindings_), kUnknown);
    std::fill(std::begin(uniformFilled_), std::end(uniformFilled_), kUnknown);
    enabledKnown_ = false;
    std::fill(std::begin(attributeSourceKnown_), std::end(attributeSourceKnown_), false);
}

void GlStateShadow::UseProgram(GLuint program) {
    if (program_ == program) return;
    glUseProgram(program);
    program_ = program;
}

void GlStateShadow::ActiveUnit(GLuint unit) {
    if (activeUnit_ == unit) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    activeUnit_ = unit;
}

void GlStateShadow::BindTexture(GLuint unit, GLenum target, GLuint texture) {
    GLuint& bound = target == GL_TEXTURE_CUBE_MAP ? cubeTextures_[unit] : textures2D_[unit];
    if (bound == texture) return;
    ActiveUnit(unit);
    glBindTexture(target, texture);
    bound = texture;
}

void GlStateShadow::BindTextureForUpload(GLenum target, GLuint texture) {
    BindTexture(activeUnit_ < kUnits ? activeUnit_ : 0, target, texture);
}

void GlStateShadow::BindSampler(GLuint unit, GLuint sampler) {
    if (samplers_[unit] == sampler) return;
    glBindSampler(unit, sampler);
    samplers_[unit] = sampler;
}

void GlStateShadow::SetSamplerParameters(GLuint unit, GLuint sampler, const SamplerParameters& parameters) {
    SamplerParameters& set = samplerParameters_[unit];
    const bool known = samplerParametersKnown_[unit];
    if (!known || set.minFilter != parameters.minFilter)
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, parameters.minFilter);
    if (!known || set.magFilter != parameters.magFilter)
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, parameters.magFilter);
    if (!known || set.wrapS != parameters.wrapS) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, parameters.wrapS);
    if (!known || set.wrapT != parameters.wrapT) glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, parameters.wrapT);
    set = parameters;
    samplerParametersKnown_[unit] = true;
}

void GlStateShadow::BindArrayBuffer(GLuint buffer) {
    if (arrayBuffer_ == buffer) return;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer_ = buffer;
}

void GlStateShadow::BindElementBuffer(GLuint buffer) {
    if (elementBuffer_ == buffer) return;
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
    elementBuffer_ = buffer;
}

void GlStateShadow::EnableAttributes(uint32_t mask, GLuint locations) {
    locations = std::min(locations, kAttributes);
    for (GLuint location = 0; location < locations; ++location) {
        const bool wanted = mask >> location & 1;
        if (enabledKnown_ && (enabledAttributes_ >> location & 1) == wanted) continue;
        if (wanted)
            glEnableVertexAttribArray(location);
        else
            glDisableVertexAttribArray(location);
    }
    enabledAttributes_ = mask;
    enabledKnown_ = true;
}

void GlStateShadow::SetAttributeSource(GLuint location, const AttributeSource& source) {
    if (location >= kAttributes) return;
    if (attributeSourceKnown_[location] && attributeSources_[location] == source) return;
    glVertexAttribPointer(location, source.size, source.type, source.normalized, source.stride,
                          reinterpret_cast<const void*>(source.offset));
    attributeSources_[location] = source;
    attributeSourceKnown_[location] = true;
}

void GlStateShadow::BindUniformBufferBase(GLuint binding, GLuint buffer) {
    if (uniformBindings_[binding] == buffer) return;
    glBindBufferBase(GL_UNIFORM_BUFFER, binding, buffer);
    uniformBindings_[binding] = buffer;
    uniformBuffer_ = buffer;
}

void GlStateShadow::FillUniformBuffer(GLuint slot, GLuint buffer, const std::vector<uint8_t>& bytes) {
    if (uniformFilled_[slot] == buffer && uniformBytes_[slot] == bytes) return;
    if (uniformBuffer_ != buffer) glBindBuffer(GL_UNIFORM_BUFFER, buffer);
    uniformBuffer_ = buffer;
    glBufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(bytes.size()), bytes.data(), GL_STREAM_DRAW);
    uniformBytes_[slot] = bytes;
    uniformFilled_[slot] = buffer;
}

void GlStateShadow::DeleteTexture(GLuint texture) {
    glDeleteTextures(1, &texture);
    for (GLuint unit = 0; unit < kUnits; ++unit) {
        if (textures2D_[unit] == texture) textures2D_[unit] = 0;
        if (cubeTextures_[unit] == texture) cubeTextures_[unit] = 0;
    }
}

void GlStateShadow::DeleteBuffer(GLuint buffer) {
    glDeleteBuffers(1, &buffer);
    if (arrayBuffer_ == buffer) arrayBuffer_ = 0;
    if (elementBuffer_ == buffer) elementBuffer_ = 0;
    if (uniformBuffer_ == buffer) uniformBuffer_ = 0;
    for (GLuint& binding : uniformBindings_)
        if (binding == buffer) binding = 0;
    for (GLuint& filled : uniformFilled_)
        if (filled == buffer) filled = kUnknown;
    for (GLuint location = 0; location < kAttributes; ++location)
        if (attributeSources_[location].buffer == buffer) attributeSourceKnown_[location] = false;
}

GlStateShadow* CurrentGlState() { return g_current; }

void SetCurrentGlState(GlStateShadow* shadow) { g_current = shadow; }

void BindGlTextureForUpload(GLenum target, GLuint texture) {
    if (g_current)
        g_current->BindTextureForUpload(target, texture);
    else
        glBindTexture(target, texture);
}

void DeleteGlTexture(GLuint texture) {
    if (g_current)
        g_current->DeleteTexture(texture);
    else
        glDeleteTextures(1, &texture);
}

void DeleteGlBuffer(GLuint buffer) {
    if (g_current)
        g_current->DeleteBuffer(buffer);
    else
        glDeleteBuffers(1, &buffer);
}

void UseGlProgram(GLuint program) {
    if (g_current)
        g_current->UseProgram(program);
    else
        glUseProgram(program);
}
