#include "render/VertexBuffer.h"

#include <cstdint>

#include "render/Program.h"

GLFWVertexBuffer::GLFWVertexBuffer(GLFWProgramRegistry* registry) : registry_(registry) {
    glGenBuffers(1, &arrayBuffer_);
    glGenBuffers(1, &elementBuffer_);
}

GLFWVertexBuffer::~GLFWVertexBuffer() {
    glDeleteBuffers(1, &arrayBuffer_);
    glDeleteBuffers(1, &elementBuffer_);
}

void GLFWVertexBuffer::SetVertexData(std::int32_t bytes, const float* data,
                                     std::int32_t floatsPerVertex) {
    vertexBytes_ = bytes;
    vertexData_ = data;
    stride_ = floatsPerVertex;
}

void GLFWVertexBuffer::SetIndexData(std::int32_t bytes, const std::uint32_t* data,
                                    std::int32_t count) {
    indexBytes_ = bytes;
    indexData_ = data;
    indexCount_ = count;
}

void GLFWVertexBuffer::AddAttribute(const char* programKey, const char* name,
                                    std::int32_t components, std::int32_t offset) {
    GLFWProgram* program = registry_->Get(programKey);
    const GLint location = program != nullptr ? program->GetAttribLocation(name) : -1;
    locations_.emplace(name, location);
    components_.emplace(name, components);
    offsets_.emplace(name, offset);
}

void GLFWVertexBuffer::Bind() {
    glBindBuffer(GL_ARRAY_BUFFER, arrayBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elementBuffer_);
}

void GLFWVertexBuffer::SetAttributePointers() {
    // In ascending name order; inputs the program does not use are skipped.
    for (const auto& [name, location] : locations_) {
        if (location == -1) continue;
        const std::intptr_t offsetBytes =
            offsets_.at(name) * static_cast<std::intptr_t>(sizeof(float));
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), components_.at(name), GL_FLOAT,
                              GL_FALSE, stride_ * static_cast<GLsizei>(sizeof(float)),
                              reinterpret_cast<const void*>(offsetBytes));
    }
}

void GLFWVertexBuffer::Prepare() {
    Bind();
    SetAttributePointers();
}

void GLFWVertexBuffer::Upload() {
    Prepare();
    glBufferData(GL_ARRAY_BUFFER, vertexBytes_, vertexData_, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indexBytes_, indexData_, GL_STATIC_DRAW);
}

void GLFWVertexBuffer::Update() {
    Bind();
    glBufferSubData(GL_ARRAY_BUFFER, 0, vertexBytes_, vertexData_);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, indexBytes_, indexData_);
}
