/* Lit surfaces of the bar, celos and environment worlds: diffuse lights that
   pulse with their colour w, a rim tint from u_val, and a height fog that
   darkens the mirror image under the floor (zk_ZFogValue 1). */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ObjectMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float3 world : TEXCOORD1;
    float3 normal : TEXCOORD2;
    float3 eye : TEXCOORD3;
};
float4x4 zk_NormalMatrix;
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    o.world = mul(float4(p, 1.0), zk_ObjectMatrix).xyz;
    o.normal = mul(float4(n, 0.0), zk_ObjectMatrix).xyz;
    o.eye = mul(float4(n, 0.0), zk_NormalMatrix).xyz;
    return o;
}
#pragma HLSL_PS
float4 zk_MaterialDiffuse;
float4 zk_LightPosition[8];
float4 zk_LightColor[8];
int zk_LightCount;
float zk_ZFogValue;
float4 u_val;
float4 main(float2 uv : TEXCOORD0, float3 world : TEXCOORD1, float3 normal : TEXCOORD2, float3 eye : TEXCOORD3) : COLOR {
    float3 n = normalize(normal);
    float3 light = float3(0.12, 0.12, 0.16);
    for (int i = 0; i < min(zk_LightCount, 8); i++) {
        float3 d = zk_LightPosition[i].xyz - world;
        float fall = 1.0 / (1.0 + dot(d, d) / 300.0);
        float lambert = max(dot(n, normalize(d)), 0.0);
        light += zk_LightColor[i].rgb * (0.55 + 1.5 * zk_LightColor[i].w) * lambert * fall;
    }
    float rim = pow(1.0 - abs(normalize(eye).z), 2.0);
    float3 colour = zk_MaterialDiffuse.rgb * light + u_val.rgb * rim * (1.0 + u_val.w);
    float fog = zk_ZFogValue * (0.55 + 0.4 * saturate(world.z / 8.0));
    return float4(colour * (1.0 - fog), zk_MaterialDiffuse.a);
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
