/* Unlit glowing gates of the column background: the tile texture in the
   material colour, fading into the distance. */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ModelViewMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float depth : TEXCOORD1;
};
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    o.depth = -mul(float4(p, 1.0), zk_ModelViewMatrix).z;
    return o;
}
#pragma HLSL_PS
sampler2D tile : register(s0);
float4 zk_MaterialDiffuse;
float4 main(float2 uv : TEXCOORD0, float depth : TEXCOORD1) : COLOR {
    float fade = 1.0 - saturate(depth / 220.0);
    return float4(tex2D(tile, uv).rgb * zk_MaterialDiffuse.rgb * (0.3 + 1.2 * fade), 1.0);
}
#pragma Config
#define POSITION 1
#define NORMAL 2
#define TEXCOORD 4
VertexProfileCreate(3)
VertexProfileSet(0,0,3,POSITION,0)
VertexProfileSet(1,12,3,NORMAL,0)
VertexProfileSet(2,24,2,TEXCOORD,0)
VertexShaderVersion(3)
PixelShaderVersion(3)
#end
