#version 130
// The background picture, placed by screen position alone: it spans the
// window's width, keeps its square proportion, and darkens away from the
// centre (the vignette).

uniform sampler2D s;
uniform float iTime;
uniform float tile_top;
uniform float viewportWidth;
uniform float viewportHeight;

in vec2 fs_tex;
out vec4 fragColor;

void main()
{
    float ratio = viewportWidth / viewportHeight;
    float u = gl_FragCoord.x / viewportWidth - 0.5;
    float v = (gl_FragCoord.y / viewportHeight - 0.5) / ratio * 1.00;
    vec4 c = texture(s, vec2(u + 0.5, v + 0.5));
    float b = 1.0 - length(vec2(u * ratio, v));
    fragColor = vec4(c.rgb * b, 1.0);
}
//~
