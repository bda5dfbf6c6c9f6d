/* Floor tiles and stage sculptures: the tile texture under the stage lights;
   alpha comes from the scene (translucent pattern floors). */
#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_ObjectMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float3 world : TEXCOORD1;
    float3 normal : TEXCOORD2;
};
VS_OUTPUT main(float3 p : POSITION, float3 n : NORMAL, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    o.world = mul(float4(p, 1.0), zk_ObjectMatrix).xyz;
    o.normal = mul(float4(n, 0.0), zk_ObjectMatrix).xyz;
    return o;
}
#pragma HLSL_PS
sampler2D tile : register(s0);
float4 zk_MaterialDiffuse;
float4 zk_LightPosition[8];
float4 zk_LightColor[8];
int zk_LightCount;
float alpha;
float4 main(float2 uv : TEXCOORD0, float3 world : TEXCOORD1, float3 normal : TEXCOORD2) : COLOR {
    float3 n = normalize(normal);
    float3 light = float3(0.3, 0.3, 0.35);
    for (int i = 0; i < min(zk_LightCount, 8); i++) {
        float3 d = zk_LightPosition[i].xyz - world;
        float fall = 1.0 / (1.0 + dot(d, d) / 250.0);
        light += zk_LightColor[i].rgb * (0.6 + zk_LightColor[i].w) * abs(dot(n, normalize(d))) * fall;
    }
    float3 colour = tex2D(tile, uv).rgb * zk_MaterialDiffuse.rgb * light;
    return float4(colour, alpha);
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
