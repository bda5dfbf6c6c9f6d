// D3DX shader compilation and constant tables, over the HLSL compiler and
// the device interface so every backend gets them.
#pragma once

#include "backend/d3d9.h"

constexpr DWORD D3DXSHADER_PACKMATRIX_ROWMAJOR = 0x8;
constexpr DWORD D3DXSHADER_PACKMATRIX_COLUMNMAJOR = 0x10;
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

enum D3DXREGISTER_SET { D3DXRS_BOOL, D3DXRS_INT4, D3DXRS_FLOAT4, D3DXRS_SAMPLER };
enum D3DXPARAMETER_CLASS { D3DXPC_SCALAR, D3DXPC_VECTOR, D3DXPC_MATRIX_ROWS, D3DXPC_MATRIX_COLUMNS, D3DXPC_OBJECT };
enum D3DXPARAMETER_TYPE {
    D3DXPT_BOOL = 1,
    D3DXPT_INT = 2,
    D3DXPT_FLOAT = 3,
    D3DXPT_SAMPLER2D = 12,
    D3DXPT_SAMPLERCUBE = 14,
};

struct D3DXCONSTANT_DESC {
    const char* Name;
    D3DXREGISTER_SET RegisterSet;
    UINT RegisterIndex;
    UINT RegisterCount;
    D3DXPARAMETER_CLASS Class;
    D3DXPARAMETER_TYPE Type;
    UINT Rows;
    UINT Columns;
    UINT Elements;
    UINT StructMembers;
    UINT Bytes;
    const void* DefaultValue;
};

// Names to registers of one compiled stage. Only constants and samplers the
// code uses are in the table. The Set calls write the float registers of the
// stage the table belongs to, by the constant's class as D3DX does: a
// matrix takes its declared rows and columns from the top left of the given
// 4x4; a column_major one (HLSL's default) gets one register per column, a
// row_major one one per row, so mul(v, M) with an engine (row-major) matrix
// gives v x M either way. Int and bool constants live in float registers
// here; SetInt and SetBool write the number, or 0 and 1.
class ID3DXConstantTable {
public:
    virtual ULONG Release() = 0;
    // Null when the stage has no constant of that name; parent must be null.
    virtual D3DXHANDLE GetConstantByName(D3DXHANDLE parent, const char* name) = 0;
    // One description per handle; count in: room, out: written.
    virtual HRESULT GetConstantDesc(D3DXHANDLE constant, D3DXCONSTANT_DESC* description, UINT* count) = 0;
    // The sampler register of a sampler constant, (UINT)-1 for anything else.
    virtual UINT GetSamplerIndex(D3DXHANDLE sampler) = 0;
    virtual HRESULT SetMatrix(IDirect3DDevice9* device, D3DXHANDLE constant, const D3DMATRIX* matrix) = 0;
    virtual HRESULT SetMatrixArray(IDirect3DDevice9* device, D3DXHANDLE constant, const D3DMATRIX* matrices,
                                   UINT count) = 0;
    // The given matrices are transposed: their columns are the rows meant.
    virtual HRESULT SetMatrixTransposeArray(IDirect3DDevice9* device, D3DXHANDLE constant,
                                            const D3DMATRIX* matrices, UINT count) = 0;
    // Each element takes rows x columns floats, a matrix's row by row; at
    // most as many floats as the constant holds are written.
    virtual HRESULT SetFloatArray(IDirect3DDevice9* device, D3DXHANDLE constant, const float* values,
                                  UINT count) = 0;
    virtual HRESULT SetInt(IDirect3DDevice9* device, D3DXHANDLE constant, INT value) = 0;
    virtual HRESULT SetBool(IDirect3DDevice9* device, D3DXHANDLE constant, BOOL value) = 0;

protected:
    virtual ~ID3DXConstantTable() = default;
};

// A macro for the compile; an array of them ends with a null Name.
struct D3DXMACRO {
    const char* Name;
    const char* Definition;  // null: defined empty
};
enum D3DXINCLUDE_TYPE { D3DXINC_LOCAL, D3DXINC_SYSTEM };

// Serves the files a source includes: Open hands out a file's bytes (and
// the including file's data as parent, null for the source itself), Close
// takes them back.
class ID3DXInclude {
public:
    virtual HRESULT Open(D3DXINCLUDE_TYPE type, const char* fileName, const void* parentData, const void** data,
                         UINT* bytes) = 0;
    virtual HRESULT Close(const void* data) = 0;

protected:
    virtual ~ID3DXInclude() = default;
};

// Not in D3DX: whether a vertex and a pixel stage's code from
// D3DXCompileShader join into one program on the OpenGL device, as
// Direct3D 9 pairs any two; D3D_OK, or a failure with the reason in errors
// (when given). Found when a shader loads rather than at its first draw.
HRESULT CheckShaderPairLinks(ID3DXBuffer* vertexCode, ID3DXBuffer* pixelCode, ID3DXBuffer** errors);

// Macros are defined before the source and #include lines are served by
// the include handler (without one an #include fails); of the flags, the
// two matrix packings are honoured, the others accepted and not used. On
// failure errors (when given) holds the compiler's text, zero-terminated.
// The compiler runs in a child process, so a source that crashes it gives
// a failure whose text says so.
HRESULT D3DXCompileShader(const char* source, UINT length, const D3DXMACRO* defines, ID3DXInclude* include,
                          const char* entryPoint, const char* profile, DWORD flags, ID3DXBuffer** code,
                          ID3DXBuffer** errors, ID3DXConstantTable** constants);
