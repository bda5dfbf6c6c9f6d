// The GL device's Set and Get calls: what they set is applied when drawing.
// The warm-up saves and restores all of it.
#include "backend/gl_device_impl.h"

#include <algorithm>
#include <vector>

#include "backend/d3dx9_math.h"

namespace gl_device {

HRESULT GlDevice::SetViewport(const D3DVIEWPORT9* viewport) {
    viewport_ = *viewport;
    ApplyViewport();
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT9* viewport) {
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    renderStates_[state] = value;  // applied when drawing
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    *value = StateValue(renderStates_, state);
    return D3D_OK;
}

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    transforms_[state] = *matrix;
    return D3D_OK;
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    auto found = transforms_.find(state);
    if (found == transforms_.end()) D3DXMatrixIdentity(matrix);
    else *matrix = found->second;
    return D3D_OK;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    if (stage >= kStages) return D3DERR_INVALIDCALL;
    if (texture) texture->AddRef();
    if (textures_[stage]) textures_[stage]->Release();
    textures_[stage] = texture;
    return D3D_OK;
}

HRESULT GlDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    if (sampler >= kStages) return D3DERR_INVALIDCALL;
    samplerStates_[sampler][type] = value;
    return D3D_OK;
}

HRESULT GlDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    if (sampler >= kStages) return D3DERR_INVALIDCALL;
    *value = StateValue(samplerStates_[sampler], type);
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kStages) return D3DERR_INVALIDCALL;
    stageStates_[stage][type] = value;
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= kStages) return D3DERR_INVALIDCALL;
    *value = StateValue(stageStates_[stage], type);
    return D3D_OK;
}

HRESULT GlDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    auto* target = dynamic_cast<GlSurface*>(surface);
    if (index != 0 || !target || !(target->description().Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    Hold(&renderTarget_, target);
    viewport_ = D3DVIEWPORT9{0, 0, target->description().Width, target->description().Height, 0.0f, 1.0f};
    boundFramebuffer_ = 0;
    return D3D_OK;
}

HRESULT GlDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (index != 0) return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *surface = renderTarget_;
    return D3D_OK;
}

HRESULT GlDevice::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    auto* depth = dynamic_cast<GlSurface*>(surface);
    if (surface && (!depth || !(depth->description().Usage & D3DUSAGE_DEPTHSTENCIL))) return D3DERR_INVALIDCALL;
    Hold(&depthStencil_, depth);
    boundFramebuffer_ = 0;
    return D3D_OK;
}

HRESULT GlDevice::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    *surface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTAVAILABLE;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetFVF(DWORD fvf) {
    fvf_ = fvf;
    Hold(&declaration_, static_cast<GlVertexDeclaration*>(nullptr));
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    if (stream != 0 || HoldOwn(&stream_, buffer) != D3D_OK) return D3DERR_INVALIDCALL;
    streamOffset_ = offset;
    streamStride_ = stride;
    return D3D_OK;
}

HRESULT GlDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    if (HoldOwn(&declaration_, declaration) != D3D_OK) return D3DERR_INVALIDCALL;
    if (declaration_) fvf_ = 0;
    return D3D_OK;
}

void GlDevice::WarmUp(const std::function<void()>& draw) {
    const SetState saved = SaveSetState();
    warmingUp_ = true;
    draw();
    warmingUp_ = false;
    RestoreSetState(saved);
}

GlDevice::SetState GlDevice::SaveSetState() const {
    SetState saved{renderStates_, {}, {}, transforms_, vertexConstants_, pixelConstants_, viewport_, fvf_,
                   streamOffset_, streamStride_, inScene_, {}, renderTarget_, depthStencil_, declaration_,
                   stream_, indices_, vertexShader_, pixelShader_};
    for (DWORD stage = 0; stage < kStages; ++stage) {
        saved.samplerStates[stage] = samplerStates_[stage];
        saved.stageStates[stage] = stageStates_[stage];
        saved.textures[stage] = textures_[stage];
        if (textures_[stage]) textures_[stage]->AddRef();
    }
    IDirect3DResource9* const objects[] = {renderTarget_, depthStencil_, declaration_, stream_,
                                           indices_,      vertexShader_, pixelShader_};
    for (IDirect3DResource9* held : objects)
        if (held) held->AddRef();
    return saved;
}

// Takes over the references saved holds.
void GlDevice::RestoreSetState(const SetState& saved) {
    renderStates_ = saved.renderStates;
    transforms_ = saved.transforms;
    vertexConstants_ = saved.vertexConstants;
    pixelConstants_ = saved.pixelConstants;
    viewport_ = saved.viewport;
    fvf_ = saved.fvf;
    streamOffset_ = saved.streamOffset, streamStride_ = saved.streamStride;
    inScene_ = saved.inScene;
    for (DWORD stage = 0; stage < kStages; ++stage) {
        samplerStates_[stage] = saved.samplerStates[stage];
        stageStates_[stage] = saved.stageStates[stage];
        Adopt(&textures_[stage], saved.textures[stage]);
    }
    Adopt(&renderTarget_, saved.renderTarget);
    Adopt(&depthStencil_, saved.depthStencil);
    Adopt(&declaration_, saved.declaration);
    Adopt(&stream_, saved.stream);
    Adopt(&indices_, saved.indices);
    Adopt(&vertexShader_, saved.vertexShader);
    Adopt(&pixelShader_, saved.pixelShader);
    boundFramebuffer_ = 0;
}

HRESULT GlDevice::WriteRegisters(std::vector<float>* registers, UINT start, const float* data, UINT count) {
    const UINT available = static_cast<UINT>(registers->size() / 4);
    if (!data || start > available || count > available - start) return D3DERR_INVALIDCALL;
    std::copy(data, data + static_cast<size_t>(count) * 4, registers->begin() + static_cast<size_t>(start) * 4);
    return D3D_OK;
}

}  // namespace gl_device
