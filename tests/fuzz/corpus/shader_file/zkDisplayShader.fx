/* The scoreboard: 64 x 8 lamps drawn from the board's uv, lit where the
   greetings strip, scrolled by greetings_x, has text. The mirror image is
   fogged by height (zk_ZFogValue, zk_ZFogDist). */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ObjectMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float height : TEXCOORD1;
};
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    o.height = mul(float4(p, 1.0), zk_ObjectMatrix).z;
    return o;
}
#pragma HLSL_PS
sampler2D lamp : register(s0);
sampler2D greetings : register(s1);
float4 zk_MaterialDiffuse;
float zk_ZFogValue;
float zk_ZFogDist;
float greetings_x;
float4 main(float2 uv : TEXCOORD0, float height : TEXCOORD1) : COLOR {
    float2 cells = float2(64.0, 8.0);
    float2 cell = floor(uv * cells);
    float4 shape = tex2D(lamp, frac(uv * cells));
    float window = 64.0 / 1024.0;
    float2 text = float2((cell.x + 0.5) / 64.0 * window + greetings_x * (1.0 - window), (3.5 + cell.y) / 16.0);
    float on = tex2D(greetings, text).r;
    float3 glow = lerp(float3(0.10, 0.06, 0.04), float3(1.6, 1.0, 0.3), on);
    float3 colour = lerp(float3(0.02, 0.02, 0.03), shape.rgb * glow, shape.a) * zk_MaterialDiffuse.rgb;
    float fog = zk_ZFogValue * saturate(0.4 + height / max(zk_ZFogDist, 0.001));
    return float4(colour * (1.0 - 0.9 * fog), 1.0);
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
