#version 130
// One half-tile of a flip tile: the upper or lower half of a glyph cell of
// the atlas, darkened as the flap turns edge-on, with rounded outer corners
// and a light line along the hinge.
//
// fs_tex.x runs from 0 at the tile's left edge to 1 at its right edge;
// fs_tex.y from 0 at the hinge side to 1 at the far edge.

uniform sampler2D s;
uniform float tile_left;   // glyph cell's left edge, atlas pixels
uniform float tile_top;    // glyph cell's top edge, atlas pixels
uniform float tile_mode;   // above 0: upper half; 0 or below: lower half
uniform float tile_angle;  // flap angle, degrees
uniform int index;         // tile position: 4, 6, 8 tens; 5, 7, 9 units
uniform float iTime;
uniform float viewportWidth;
uniform float viewportHeight;

in vec2 fs_tex;
out vec4 fragColor;

const float CELL_WIDTH = 200.0;
const float CELL_HEIGHT = 288.0;
const float ATLAS_SIZE = 2048.0;
const float CORNER = 0.18;
const float HINGE_LINE = 0.008;
const float PI = 3.14159265359;

void main()
{
    float f = fs_tex.x;
    float g = fs_tex.y;

    float sCoord = (tile_left + CELL_WIDTH * f) / ATLAS_SIZE;
    float tCoord = 0.0;
    if (tile_mode <= 0.0)
        tCoord = 1.0 - (tile_top + 144.0 + 0.5 * CELL_HEIGHT * g) / ATLAS_SIZE;
    else if (tile_mode <= 5.0)
        tCoord = 1.0 - (tile_top + 0.5 * CELL_HEIGHT * (1.0 - g)) / ATLAS_SIZE;

    float brightness = 0.2 + 0.8 * abs(cos(tile_angle * PI / 180.0));
    vec4 c = texture(s, vec2(sCoord, tCoord));
    vec4 colour = vec4(c.rgb * brightness, c.a);

    if (tile_mode <= 5.0)
    {
        bool tens = index == 4 || index == 6 || index == 8;
        bool units = index == 5 || index == 7 || index == 9;
        if (tens && f <= CORNER && g >= 1.0 - CORNER &&
            distance(vec2(f, g), vec2(CORNER, 1.0 - CORNER)) >= CORNER)
            colour.a = 0.0;
        if (units && f >= 1.0 - CORNER && g >= 1.0 - CORNER &&
            distance(vec2(f, g), vec2(1.0 - CORNER, 1.0 - CORNER)) >= CORNER)
            colour.a = 0.0;
    }

    if (g < HINGE_LINE)
        colour = vec4(0.8, 0.8, 0.8, 1.0);

    fragColor = colour;
}
//~
