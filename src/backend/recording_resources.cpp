#include "backend/recording_resources.h"

#include <algorithm>

#include "backend/d3d9_sizes.h"
#include "backend/recording_device.h"

namespace {

std::string NextName(RecordedCalls* log, const char* kind) {
    return std::string(kind) + "#" + std::to_string(++log->resourcesMade);
}

}  // namespace

RecordingSurface::RecordingSurface(RecordedCalls* log, const D3DSURFACE_DESC& description)
    : log_(log), description_(description), name_(NextName(log, "surface")) {
    ++log_->resourcesAlive;
}

ULONG RecordingSurface::Release() {
    if (--references_) return references_;
    --log_->resourcesAlive;
    delete this;
    return 0;
}

HRESULT RecordingSurface::GetDesc(D3DSURFACE_DESC* description) {
    *description = description_;
    return D3D_OK;
}

RecordingTexture::RecordingTexture(RecordedCalls* log, const D3DSURFACE_DESC& description, DWORD levels)
    : log_(log), description_(description), levels_(levels), name_(NextName(log, "texture")) {
    ++log_->resourcesAlive;
}

ULONG RecordingTexture::Release() {
    if (--references_) return references_;
    if (level0_) level0_->Release();
    --log_->resourcesAlive;
    delete this;
    return 0;
}

HRESULT RecordingTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (level >= levels_) return D3DERR_INVALIDCALL;
    if (!level0_) level0_ = new RecordingSurface(log_, description_);
    level0_->AddRef();
    *surface = level0_;
    return D3D_OK;
}

HRESULT RecordingTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* description) {
    if (level >= levels_) return D3DERR_INVALIDCALL;
    *description = LevelDescription(description_, level);
    return D3D_OK;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT*, DWORD) {
    if (level >= levels_) return D3DERR_INVALIDCALL;
    if (levelPixels_.size() < levels_) levelPixels_.resize(levels_);
    const D3DSURFACE_DESC size = LevelDescription(description_, level);
    std::vector<uint32_t>& pixels = levelPixels_[level];
    pixels.resize(static_cast<size_t>(size.Width) * size.Height);
    locked->Pitch = static_cast<INT>(size.Width * 4);
    locked->pBits = pixels.data();
    return D3D_OK;
}

HRESULT RecordingTexture::UnlockRect(UINT level) { return level < levels_ ? D3D_OK : D3DERR_INVALIDCALL; }

const std::vector<uint32_t>& RecordingTexture::pixels(UINT level) const {
    static const std::vector<uint32_t> unwritten;
    return level < levelPixels_.size() ? levelPixels_[level] : unwritten;
}

RecordingCubeTexture::RecordingCubeTexture(RecordedCalls* log, const D3DSURFACE_DESC& description, DWORD levels)
    : log_(log), levels_(levels), name_(NextName(log, "cube")) {
    ++log_->resourcesAlive;
    for (RecordingSurface*& face : faces_) face = new RecordingSurface(log_, description);
}

ULONG RecordingCubeTexture::Release() {
    if (--references_) return references_;
    for (RecordingSurface* face : faces_) face->Release();
    --log_->resourcesAlive;
    delete this;
    return 0;
}

HRESULT RecordingCubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= levels_) return D3DERR_INVALIDCALL;
    faces_[face]->AddRef();
    *surface = faces_[face];
    return D3D_OK;
}

template <typename Interface>
RecordingObject<Interface>::RecordingObject(RecordedCalls* log, const char* kind)
    : log_(log), name_(NextName(log, kind)) {
    ++log_->resourcesAlive;
}

template <typename Interface>
ULONG RecordingObject<Interface>::Release() {
    if (--references_) return references_;
    --log_->resourcesAlive;
    delete this;
    return 0;
}

template class RecordingObject<IDirect3DVertexDeclaration9>;
template class RecordingObject<IDirect3DVertexShader9>;
template class RecordingObject<IDirect3DPixelShader9>;
template class RecordingObject<IDirect3DVertexBuffer9>;
template class RecordingObject<IDirect3DIndexBuffer9>;
template class RecordingObject<IDirect3DQuery9>;

template <typename Interface>
RecordingBuffer<Interface>::RecordingBuffer(RecordedCalls* log, const char* kind, UINT length)
    : RecordingObject<Interface>(log, kind), bytes_(length) {}

template <typename Interface>
HRESULT RecordingBuffer<Interface>::Lock(UINT offset, UINT size, void** data, DWORD) {
    const size_t length = bytes_.size();
    if (!data || locked_ || offset >= length || size > length - offset) return D3DERR_INVALIDCALL;
    locked_ = true;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

template <typename Interface>
HRESULT RecordingBuffer<Interface>::Unlock() {
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

template class RecordingBuffer<IDirect3DVertexBuffer9>;
template class RecordingBuffer<IDirect3DIndexBuffer9>;

RecordingDeclaration::RecordingDeclaration(RecordedCalls* log, const D3DVERTEXELEMENT9* elements)
    : RecordingObject(log, "declaration") {
    // A declaration has at most 64 elements before its end marker.
    for (int i = 0; i < 65; ++i) {
        elements_.push_back(elements[i]);
        if (elements[i].Stream == 0xFF) break;
    }
}

HRESULT RecordingDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) {
    *count = static_cast<UINT>(elements_.size());
    if (elements) std::copy(elements_.begin(), elements_.end(), elements);
    return D3D_OK;
}

std::string ResourceName(IDirect3DResource9* resource) {
    if (!resource) return "null";
    if (auto* texture = dynamic_cast<RecordingTexture*>(resource)) return texture->name();
    if (auto* cube = dynamic_cast<RecordingCubeTexture*>(resource)) return cube->name();
    if (auto* surface = dynamic_cast<RecordingSurface*>(resource)) return surface->name();
    if (auto* declaration = dynamic_cast<RecordingDeclaration*>(resource)) return declaration->name();
    if (auto* shader = dynamic_cast<RecordingVertexShader*>(resource)) return shader->name();
    if (auto* shader = dynamic_cast<RecordingPixelShader*>(resource)) return shader->name();
    if (auto* buffer = dynamic_cast<RecordingVertexBuffer*>(resource)) return buffer->name();
    if (auto* buffer = dynamic_cast<RecordingIndexBuffer*>(resource)) return buffer->name();
    return "foreign";
}

RecordingQuery::RecordingQuery(RecordedCalls* log) : RecordingObject<IDirect3DQuery9>(log, "query"), log_(log) {}

HRESULT RecordingQuery::Issue(DWORD flags) {
    log_->calls.push_back("Issue(" + name() + ", " + std::to_string(flags) + ")");
    if (flags & D3DISSUE_END) pendingPolls_ = log_->queryPollsBeforeReady;
    return D3D_OK;
}

HRESULT RecordingQuery::GetData(void* data, DWORD size, DWORD flags) {
    log_->calls.push_back("GetData(" + name() + ", " + std::to_string(size) + ", " + std::to_string(flags) + ")");
    if (log_->queryFails || !data || size < sizeof(DWORD)) return D3DERR_INVALIDCALL;
    if (pendingPolls_ > 0) {
        --pendingPolls_;
        return S_FALSE;
    }
    *static_cast<DWORD*>(data) = log_->occlusionSamples;
    return D3D_OK;
}
