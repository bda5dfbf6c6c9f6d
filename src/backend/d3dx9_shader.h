// D3DX shader compilation and constant tables, over the HLSL compiler and
// the device interface so every backend gets them.
#pragma once

#include "backend/d3d9.h"

constexpr DWORD D3DXSHADER_PREFER_FLOW_CONTROL = 0x400;

using D3DXHANDLE = const char*;

class ID3DXBuffer {
public:
    virtual ULONG Release() = 0;
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;

protected:
    virtual ~ID3DXBuffer() = default;
};

// Names to registers of one compiled stage. Only constants the code uses
// are in the table. The Set calls write the registers of the stage the
// table belongs to; matrices go in as HLSL's default column-major packing
// expects, so mul(v, M) with an engine (row-major) matrix gives v x M.
class ID3DXConstantTable {
public:
    virtual ULONG Release() = 0;
    // Null when the stage has no constant of that name; parent must be null.
    virtual D3DXHANDLE GetConstantByName(D3DXHANDLE parent, const char* name) = 0;
    virtual HRESULT SetMatrix(IDirect3DDevice9* device, D3DXHANDLE constant, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetMatrixArray(IDirect3DDevice9* device, D3DXHANDLE constant, const D3DMATRIX* matrices,
                                   UINT count) = 0;
    // Writes at most as many floats as the constant holds.
    virtual HRESULT SetFloatArray(IDirect3DDevice9* device, D3DXHANDLE constant, const float* values,
                                  UINT count) = 0;
    virtual HRESULT SetInt(IDirect3DDevice9* device, D3DXHANDLE constant, INT value) = 0;

protected:
    virtual ~ID3DXConstantTable() = default;
};

struct D3DXMACRO;
class ID3DXInclude;

// Macros, include handler and flags are accepted and not used. On failure
// errors (when given) holds the compiler's text, zero-terminated.
HRESULT D3DXCompileShader(const char* source, UINT length, const D3DXMACRO* defines, ID3DXInclude* include,
                          const char* entryPoint, const char* profile, DWORD flags, ID3DXBuffer** code,
                          ID3DXBuffer** errors, ID3DXConstantTable** constants);
