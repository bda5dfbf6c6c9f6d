#include "backend/gl_resources.h"

#include <algorithm>
#include <cstring>

#include "backend/d3d9_sizes.h"
#include "backend/gl_state_shadow.h"

namespace {

struct GlFormat {
    GLenum internal, format, type;
};

bool FormatOf(D3DFORMAT format, GlFormat* gl) {
    switch (format) {
        case D3DFMT_A8R8G8B8: *gl = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE}; return true;
        case D3DFMT_X8R8G8B8:
        case D3DFMT_R8G8B8: *gl = {GL_RGB8, GL_BGRA, GL_UNSIGNED_BYTE}; return true;
        case D3DFMT_A16B16G16R16F: *gl = {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT}; return true;
        case D3DFMT_A32B32G32R32F: *gl = {GL_RGBA32F, GL_RGBA, GL_FLOAT}; return true;
        case D3DFMT_D16: *gl = {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT}; return true;
        case D3DFMT_D24X8: *gl = {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8}; return true;
        default: return false;
    }
}

constexpr UINT kMaxEdge = 8192;

UINT MaxLevels(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT edge = std::max(width, height); edge > 1; edge >>= 1) ++levels;
    return levels;
}

// Allocates every level of a bound texture target (one face target for cubes).
void AllocateLevels(GLenum target, const GlFormat& gl, UINT width, UINT height, UINT levels) {
    for (UINT level = 0; level < levels; ++level)
        glTexImage2D(target, static_cast<GLint>(level), static_cast<GLint>(gl.internal),
                     static_cast<GLsizei>(std::max(1u, width >> level)),
                     static_cast<GLsizei>(std::max(1u, height >> level)), 0, gl.format, gl.type, nullptr);
}

}  // namespace

GlSurface::GlSurface(IDirect3DResource9* owner, const D3DSURFACE_DESC& description, GLenum target, GLuint texture,
                     GLuint renderbuffer)
    : owner_(owner), description_(description), target_(target), texture_(texture), renderbuffer_(renderbuffer) {}

GlSurface::~GlSurface() {
    if (renderbuffer_ && !owner_) glDeleteRenderbuffers(1, &renderbuffer_);
}

ULONG GlSurface::AddRef() {
    if (owner_) owner_->AddRef();
    return ++references_;
}

ULONG GlSurface::Release() {
    // A level lives as long as its texture; its references are the texture's.
    if (owner_) {
        --references_;
        owner_->Release();
        return references_;
    }
    if (--references_) return references_;
    delete this;
    return 0;
}

HRESULT GlSurface::GetDesc(D3DSURFACE_DESC* description) {
    *description = description_;
    return D3D_OK;
}

void GlSurface::Attach(GLenum attachment) const {
    if (renderbuffer_)
        glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, attachment, GL_RENDERBUFFER, renderbuffer_);
    else
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, attachment, target_, texture_, 0);
}

GlSurface* CreateRenderbufferSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage, int samples) {
    GlFormat gl{};
    if (!FormatOf(format, &gl) || !width || !height || width > kMaxEdge || height > kMaxEdge) return nullptr;
    GLuint renderbuffer = 0;
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, gl.internal, static_cast<GLsizei>(width),
                                     static_cast<GLsizei>(height));
    return new GlSurface(nullptr, {format, usage, D3DPOOL_DEFAULT, width, height}, GL_RENDERBUFFER, 0, renderbuffer);
}

GlTexture::GlTexture(GLuint texture, const D3DSURFACE_DESC& description, DWORD levels)
    : texture_(texture), description_(description), levels_(levels) {}

GlTexture* GlTexture::Create(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    GlFormat gl{};
    if (!FormatOf(format, &gl) || gl.format == GL_DEPTH_COMPONENT || gl.format == GL_DEPTH_STENCIL || !width ||
        !height || width > kMaxEdge || height > kMaxEdge)
        return nullptr;
    levels = levels ? std::min(levels, MaxLevels(width, height)) : MaxLevels(width, height);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    BindGlTextureForUpload(GL_TEXTURE_2D, texture);
    AllocateLevels(GL_TEXTURE_2D, gl, width, height, levels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    return new GlTexture(texture, {format, usage, pool, width, height}, levels);
}

ULONG GlTexture::Release() {
    if (--references_) return references_;
    delete level0_;
    DeleteGlTexture(texture_);
    delete this;
    return 0;
}

HRESULT GlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (level != 0) return D3DERR_INVALIDCALL;  // only level 0 is drawn into
    if (!level0_) level0_ = new GlSurface(this, description_, GL_TEXTURE_2D, texture_, 0);
    level0_->AddRef();
    *surface = level0_;
    return D3D_OK;
}

HRESULT GlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* description) {
    if (level >= levels_) return D3DERR_INVALIDCALL;
    *description = LevelDescription(description_, level);
    return D3D_OK;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT*, DWORD) {
    const bool bytes = description_.Format == D3DFMT_A8R8G8B8 || description_.Format == D3DFMT_X8R8G8B8;
    if (level >= levels_ || !bytes || !locked_.empty()) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC size = LevelDescription(description_, level);
    locked_.assign(static_cast<size_t>(size.Width) * size.Height, 0);
    lockedLevel_ = level;
    locked->Pitch = static_cast<INT>(size.Width * 4);
    locked->pBits = locked_.data();
    return D3D_OK;
}

// Only the level written changes: as in Direct3D, the levels below keep
// what was written into them.
HRESULT GlTexture::UnlockRect(UINT level) {
    if (level != lockedLevel_ || locked_.empty()) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC size = LevelDescription(description_, level);
    BindGlTextureForUpload(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, static_cast<GLsizei>(size.Width),
                    static_cast<GLsizei>(size.Height), GL_BGRA, GL_UNSIGNED_BYTE, locked_.data());
    locked_.clear();
    locked_.shrink_to_fit();
    return D3D_OK;
}

GlCubeTexture::GlCubeTexture(GLuint texture, const D3DSURFACE_DESC& description, DWORD levels)
    : texture_(texture), description_(description), levels_(levels) {
    for (int face = 0; face < 6; ++face)
        faces_[face] = new GlSurface(this, description_, GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, texture_, 0);
}

GlCubeTexture* GlCubeTexture::Create(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool) {
    GlFormat gl{};
    if (!FormatOf(format, &gl) || gl.format == GL_DEPTH_COMPONENT || gl.format == GL_DEPTH_STENCIL || !edge ||
        edge > kMaxEdge)
        return nullptr;
    levels = levels ? std::min(levels, MaxLevels(edge, edge)) : MaxLevels(edge, edge);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    BindGlTextureForUpload(GL_TEXTURE_CUBE_MAP, texture);
    // Direct3D's face order is GL's: +X, -X, +Y, -Y, +Z, -Z.
    for (int face = 0; face < 6; ++face) AllocateLevels(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, gl, edge, edge, levels);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    return new GlCubeTexture(texture, {format, usage, pool, edge, edge}, levels);
}

ULONG GlCubeTexture::Release() {
    if (--references_) return references_;
    for (GlSurface* face : faces_) delete face;
    DeleteGlTexture(texture_);
    delete this;
    return 0;
}

HRESULT GlCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (face > D3DCUBEMAP_FACE_NEGATIVE_Z || level != 0) return D3DERR_INVALIDCALL;
    faces_[face]->AddRef();
    *surface = faces_[face];
    return D3D_OK;
}

template <typename Interface>
GlBuffer<Interface>::GlBuffer(UINT length) : bytes_(length) {
    // The copy-write target leaves the draw bindings alone.
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(length), bytes_.data(), GL_STATIC_DRAW);
}

template <typename Interface>
GlBuffer<Interface>::~GlBuffer() {
    DeleteGlBuffer(buffer_);
}

template <typename Interface>
HRESULT GlBuffer<Interface>::Lock(UINT offset, UINT size, void** data, DWORD) {
    const UINT length = this->length();
    if (!data || locked() || offset >= length || size > length - offset) return D3DERR_INVALIDCALL;
    lockedOffset_ = offset;
    lockedSize_ = size ? size : length - offset;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

template <typename Interface>
HRESULT GlBuffer<Interface>::Unlock() {
    if (!locked()) return D3DERR_INVALIDCALL;
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
    glBufferSubData(GL_COPY_WRITE_BUFFER, lockedOffset_, lockedSize_, bytes_.data() + lockedOffset_);
    lockedSize_ = 0;
    return D3D_OK;
}

template class GlBuffer<IDirect3DVertexBuffer9>;
template class GlBuffer<IDirect3DIndexBuffer9>;

GlVertexBuffer* GlVertexBuffer::Create(UINT length) { return length ? new GlVertexBuffer(length) : nullptr; }

GlIndexBuffer* GlIndexBuffer::Create(UINT length, D3DFORMAT format) {
    if (!length || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) return nullptr;
    return new GlIndexBuffer(length, format == D3DFMT_INDEX16 ? 2 : 4);
}

uint32_t GlIndexBuffer::Index(size_t index) const {
    if (indexSize_ == 2) {
        uint16_t value;
        std::memcpy(&value, bytes().data() + index * 2, 2);
        return value;
    }
    uint32_t value;
    std::memcpy(&value, bytes().data() + index * 4, 4);
    return value;
}

GlQuery::GlQuery(const bool* warmingUp) : warmingUp_(warmingUp) { glGenQueries(1, &query_); }

GlQuery::~GlQuery() {
    if (begun_) glEndQuery(GL_SAMPLES_PASSED);
    glDeleteQueries(1, &query_);
}

HRESULT GlQuery::Issue(DWORD flags) {
    if (flags & D3DISSUE_BEGIN) {
        if (begun_) glEndQuery(GL_SAMPLES_PASSED);
        glBeginQuery(GL_SAMPLES_PASSED, query_);
        begun_ = true, ended_ = false;
    } else if (flags & D3DISSUE_END) {
        if (!begun_) return D3DERR_INVALIDCALL;
        glEndQuery(GL_SAMPLES_PASSED);
        begun_ = false, ended_ = true;
        endedWarmingUp_ = *warmingUp_;
    }
    return D3D_OK;
}

HRESULT GlQuery::GetData(void* data, DWORD size, DWORD flags) {
    if (!ended_ || !data || size < sizeof(DWORD)) return D3DERR_INVALIDCALL;
    if (endedWarmingUp_) {
        *static_cast<DWORD*>(data) = 1;
        return D3D_OK;
    }
    // A caller that flushes polls until the answer comes; reading the result
    // blocks until then without spinning a core the rasteriser needs.
    if (!(flags & D3DGETDATA_FLUSH)) {
        GLuint available = 0;
        glGetQueryObjectuiv(query_, GL_QUERY_RESULT_AVAILABLE, &available);
        if (!available) return S_FALSE;
    }
    GLuint samples = 0;
    glGetQueryObjectuiv(query_, GL_QUERY_RESULT, &samples);
    *static_cast<DWORD*>(data) = samples;
    return D3D_OK;
}
