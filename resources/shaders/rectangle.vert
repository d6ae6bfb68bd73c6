#version 130
// Background and panel: the rectangle through the whole transform at once.

in vec4 position;         // three components supplied, w is 1
in vec2 position_tex;
in vec3 position_normal;  // part of the common vertex layout, not read here

uniform mat4 model_world;
uniform mat4 world_projection;
uniform mat4 model_projection;

out vec2 fs_tex;

void main()
{
    fs_tex = position_tex;
    gl_Position = model_projection * position;
}
//~
