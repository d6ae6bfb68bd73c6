// The GL buffers of a mesh and the layout of its vertex inputs.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/GL.h"

class GLFWProgramRegistry;

class GLFWVertexBuffer {
public:
    explicit GLFWVertexBuffer(GLFWProgramRegistry* registry);
    ~GLFWVertexBuffer();
    GLFWVertexBuffer(const GLFWVertexBuffer&) = delete;
    GLFWVertexBuffer& operator=(const GLFWVertexBuffer&) = delete;

    void SetVertexData(std::int32_t bytes, const float* data, std::int32_t floatsPerVertex);
    void SetIndexData(std::int32_t bytes, const std::uint32_t* data, std::int32_t count);

    // Declares a vertex input of the program under programKey; an input
    // already declared keeps its first values.
    void AddAttribute(const char* programKey, const char* name, std::int32_t components,
                      std::int32_t offset);

    void Bind();
    void SetAttributePointers();
    void Prepare();  // Bind, then SetAttributePointers
    void Upload();   // Prepare, then both buffers' data
    void Update();   // Bind, then both buffers' data replaced in place
    std::int32_t GetIndexCount() const { return indexCount_; }

private:
    GLFWProgramRegistry* registry_;
    GLuint arrayBuffer_ = 0;
    GLuint elementBuffer_ = 0;
    const float* vertexData_ = nullptr;
    std::int32_t vertexBytes_ = 0;
    std::int32_t stride_ = 0;  // floats per vertex
    std::map<std::string, GLint> locations_;
    std::map<std::string, std::int32_t> components_;
    std::map<std::string, std::int32_t> offsets_;
    const std::uint32_t* indexData_ = nullptr;
    std::int32_t indexBytes_ = 0;
    std::int32_t indexCount_ = 0;
};
