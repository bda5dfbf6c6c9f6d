// The GL device's Create calls.
#include "backend/gl_device_impl.h"

namespace gl_device {

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture9** texture, void*) {
    *texture = GlTexture::Create(width, height, levels, usage, format, pool);
    return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DCubeTexture9** texture, void*) {
    *texture = GlCubeTexture::Create(edge, levels, usage, format, pool);
    return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multisample,
                                            DWORD, BOOL, IDirect3DSurface9** surface, void*) {
    *surface = nullptr;
    if (format != D3DFMT_D16 && format != D3DFMT_D24X8) return D3DERR_INVALIDCALL;
    *surface = CreateRenderbufferSurface(width, height, format, D3DUSAGE_DEPTHSTENCIL, multisample);
    return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer,
                                     void*) {
    *buffer = GlVertexBuffer::Create(length);
    return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                                    void*) {
    *buffer = GlIndexBuffer::Create(length, format);
    return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) {
    *query = type == D3DQUERYTYPE_OCCLUSION ? new GlQuery(&warmingUp_) : nullptr;
    return *query ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT GlDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                          IDirect3DVertexDeclaration9** declaration) {
    *declaration = GlVertexDeclaration::Create(elements);
    return *declaration ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
    const CompiledShader* compiled = CompiledShaderOf(function, ShaderStage::Vertex);
    *shader = compiled ? new GlVertexShader(*compiled) : nullptr;
    return *shader ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
    const CompiledShader* compiled = CompiledShaderOf(function, ShaderStage::Pixel);
    *shader = compiled ? new GlPixelShader(*compiled) : nullptr;
    return *shader ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace gl_device
