#version 130
// The panel behind the digits: plain opaque grey.

uniform sampler2D s;
uniform float iTime;
uniform float tile_top;
uniform float viewportWidth;
uniform float viewportHeight;

in vec2 fs_tex;
out vec4 fragColor;

void main()
{
    fragColor = vec4(0.3, 0.3, 0.3, 1.0);
}
//~
