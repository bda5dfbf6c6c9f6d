// Resources of the recording device: named "texture#N", "cube#N",
// "surface#N" and so on in the log, counted, with memory for locks.
#pragma once

#include <string>
#include <vector>

#include "backend/d3d9.h"

struct RecordedCalls;

class RecordingSurface : public IDirect3DSurface9 {
public:
    RecordingSurface(RecordedCalls* log, const D3DSURFACE_DESC& description);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* description) override;
    const std::string& name() const { return name_; }

private:
    RecordedCalls* log_;
    D3DSURFACE_DESC description_;
    std::string name_;
    ULONG references_ = 1;
};

class RecordingTexture : public IDirect3DTexture9 {
public:
    RecordingTexture(RecordedCalls* log, const D3DSURFACE_DESC& description, DWORD levels);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    DWORD GetLevelCount() override { return levels_; }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* description) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    const std::string& name() const { return name_; }
    // A level as written through LockRect, 0xAARRGGBB, top row first; empty until written.
    const std::vector<uint32_t>& pixels(UINT level = 0) const;

private:
    RecordedCalls* log_;
    D3DSURFACE_DESC description_;
    DWORD levels_;
    std::string name_;
    RecordingSurface* level0_ = nullptr;
    std::vector<std::vector<uint32_t>> levelPixels_;
    ULONG references_ = 1;
};

class RecordingCubeTexture : public IDirect3DCubeTexture9 {
public:
    RecordingCubeTexture(RecordedCalls* log, const D3DSURFACE_DESC& description, DWORD levels);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    DWORD GetLevelCount() override { return levels_; }
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
    const std::string& name() const { return name_; }

private:
    RecordedCalls* log_;
    DWORD levels_;
    std::string name_;
    RecordingSurface* faces_[6] = {};
    ULONG references_ = 1;
};

// Declarations and shaders: "declaration#N", "vertexshader#N", "pixelshader#N".
template <typename Interface>
class RecordingObject : public Interface {
public:
    RecordingObject(RecordedCalls* log, const char* kind);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    const std::string& name() const { return name_; }

private:
    RecordedCalls* log_;
    std::string name_;
    ULONG references_ = 1;
};

class RecordingDeclaration : public RecordingObject<IDirect3DVertexDeclaration9> {
public:
    RecordingDeclaration(RecordedCalls* log, const D3DVERTEXELEMENT9* elements);
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

private:
    std::vector<D3DVERTEXELEMENT9> elements_;  // end marker included
};

using RecordingVertexShader = RecordingObject<IDirect3DVertexShader9>;
using RecordingPixelShader = RecordingObject<IDirect3DPixelShader9>;

// "vertexbuffer#N" and "indexbuffer#N": zero-filled bytes that Lock hands out.
template <typename Interface>
class RecordingBuffer : public RecordingObject<Interface> {
public:
    RecordingBuffer(RecordedCalls* log, const char* kind, UINT length);
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;

private:
    std::vector<uint8_t> bytes_;
    bool locked_ = false;
};

using RecordingVertexBuffer = RecordingBuffer<IDirect3DVertexBuffer9>;
using RecordingIndexBuffer = RecordingBuffer<IDirect3DIndexBuffer9>;

// "query#N": logs its calls; the sample count and whether it is ready come
// from the log's settings.
class RecordingQuery : public RecordingObject<IDirect3DQuery9> {
public:
    explicit RecordingQuery(RecordedCalls* log);
    HRESULT Issue(DWORD flags) override;
    HRESULT GetData(void* data, DWORD size, DWORD flags) override;

private:
    RecordedCalls* log_;
    int pendingPolls_ = 0;
};

// The log name of any recording resource; "null" for none.
std::string ResourceName(IDirect3DResource9* resource);
