/* One pass of a separable blur over a render target: settings.xy is the
   direction, settings.z the reach in 1/256 steps. */
#pragma HLSL_PS
sampler2D source : register(s0);
float4 settings;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    float2 step = settings.xy * settings.z / 256.0;
    float4 sum = tex2D(source, uv) * 0.2270270;
    sum += (tex2D(source, uv + step * 1.3846154) + tex2D(source, uv - step * 1.3846154)) * 0.3162162;
    sum += (tex2D(source, uv + step * 3.2307692) + tex2D(source, uv - step * 3.2307692)) * 0.0702703;
    return sum;
}
#pragma Config
VertexShaderVersion(3)
PixelShaderVersion(3)
#end
