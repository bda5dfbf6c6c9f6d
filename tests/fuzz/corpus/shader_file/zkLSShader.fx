/* The skinned rooster: up to four bones per vertex from zk_BoneMatrix,
   colours from the palette texture, lit by the stage lights. Below the floor
   (the mirror image) it is drawn darker. */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ObjectMatrix;
float4x4 zk_BoneMatrix[32];
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float3 world : TEXCOORD1;
    float3 normal : TEXCOORD2;
};
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0, float4 bones : TEXCOORD1, float4 weights : TEXCOORD2) {
    float4 skinned = float4(0.0, 0.0, 0.0, 0.0);
    float3 normal = float3(0.0, 0.0, 0.0);
    for (int i = 0; i < 4; i++) {
        float4x4 bone = zk_BoneMatrix[(int)bones[i]];
        skinned += weights[i] * mul(float4(p, 1.0), bone);
        normal += weights[i] * mul(float4(n, 0.0), bone).xyz;
    }
    skinned.w = 1.0;
    VS_OUTPUT o;
    o.position = mul(skinned, zk_ModelViewProjectionMatrix);
    o.uv = uv;
    o.world = mul(skinned, zk_ObjectMatrix).xyz;
    o.normal = mul(float4(normal, 0.0), zk_ObjectMatrix).xyz;
    return o;
}
#pragma HLSL_PS
sampler2D palette : register(s0);
float4 zk_MaterialDiffuse;
float4 zk_LightPosition[8];
float4 zk_LightColor[8];
int zk_LightCount;
float4 main(float2 uv : TEXCOORD0, float3 world : TEXCOORD1, float3 normal : TEXCOORD2) : COLOR {
    float3 n = normalize(normal);
    float3 light = float3(0.25, 0.24, 0.28) + 0.15 * n.z;
    for (int i = 0; i < min(zk_LightCount, 8); i++) {
        float3 d = zk_LightPosition[i].xyz - world;
        float fall = 1.0 / (1.0 + dot(d, d) / 200.0);
        light += zk_LightColor[i].rgb * (0.7 + zk_LightColor[i].w) * max(dot(n, normalize(d)), 0.0) * fall;
    }
    float3 colour = tex2D(palette, uv).rgb * zk_MaterialDiffuse.rgb * light;
    float below = world.z < 0.0 ? 0.45 : 1.0;
    return float4(colour * below, 1.0);
}
#pragma Config
#define POSITION 1
#define NORMAL 2
#define TEXCOORD 4
VertexProfileCreate(5)
VertexProfileSet(0,0,3,POSITION,0)
VertexProfileSet(1,12,3,NORMAL,0)
VertexProfileSet(2,24,2,TEXCOORD,0)
VertexProfileSet(3,32,4,TEXCOORD,1)
VertexProfileSet(4,48,4,TEXCOORD,2)
VertexShaderVersion(3)
PixelShaderVersion(3)
#end
