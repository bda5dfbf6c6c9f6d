/* Chrome: the environment cube map seen in the reflection of the view ray,
   in world directions, with a little diffuse light from the scene. */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ObjectMatrix;
float4x4 zk_NormalMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float3 reflected : TEXCOORD0;
    float3 world : TEXCOORD1;
    float3 normal : TEXCOORD2;
};
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    /* The normal matrix is the inverse model-view transposed: its last
       column is the eye in object space. */
    float3 eye = float3(zk_NormalMatrix[0][3], zk_NormalMatrix[1][3], zk_NormalMatrix[2][3]) / zk_NormalMatrix[3][3];
    float3 r = reflect(normalize(p - eye), normalize(n));
    o.reflected = mul(float4(r, 0.0), zk_ObjectMatrix).xyz;
    o.world = mul(float4(p, 1.0), zk_ObjectMatrix).xyz;
    o.normal = mul(float4(n, 0.0), zk_ObjectMatrix).xyz;
    return o;
}
#pragma HLSL_PS
samplerCUBE environment : register(s0);
float4 zk_MaterialDiffuse;
float4 zk_LightPosition[8];
float4 zk_LightColor[8];
int zk_LightCount;
float4 main(float3 reflected : TEXCOORD0, float3 world : TEXCOORD1, float3 normal : TEXCOORD2) : COLOR {
    float3 n = normalize(normal);
    float3 light = float3(0.0, 0.0, 0.0);
    for (int i = 0; i < min(zk_LightCount, 8); i++)
        light += zk_LightColor[i].rgb * 0.25 * max(dot(n, normalize(zk_LightPosition[i].xyz - world)), 0.0);
    float3 colour = texCUBE(environment, reflected).rgb * zk_MaterialDiffuse.rgb + light;
    return float4(colour, 1.0);
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
