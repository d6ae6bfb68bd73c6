#include "render/Program.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/MessageBox.h"
#include "render/TextResource.h"

namespace {

constexpr std::size_t kTextBufferSize = GLFWProgram::kTextCapacity + kTextTerminatorBytes;

void ShowShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    if (length < 0) length = 0;
    std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, length, &written, log.data());
    ShowMessageBox(log.data(), "Debug", MessageIcon::Information);
}

}  // namespace

GLFWProgram::GLFWProgram(int vertexTextId, int fragmentTextId)
    : vertexText_(new char[kTextBufferSize]), fragmentText_(new char[kTextBufferSize]) {
    LoadTextResource(vertexTextId, vertexText_, kTextCapacity);
    LoadTextResource(fragmentTextId, fragmentText_, kTextCapacity);
    Build();
}

GLFWProgram::GLFWProgram(FromTexts, const char* vertexText, const char* fragmentText)
    : vertexText_(new char[kTextBufferSize]), fragmentText_(new char[kTextBufferSize]) {
    CutShaderText(reinterpret_cast<const unsigned char*>(vertexText), std::strlen(vertexText),
                  vertexText_, kTextCapacity);
    CutShaderText(reinterpret_cast<const unsigned char*>(fragmentText), std::strlen(fragmentText),
                  fragmentText_, kTextCapacity);
    Build();
}

GLuint GLFWProgram::CompileOrExit(GLenum kind, const char* text, const char* failureMessage) {
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        ShowShaderLog(shader);
        ShowMessageBox(failureMessage, "Debug", MessageIcon::Information);
        glDeleteShader(shader);
        std::exit(0);
    }
    return shader;
}

void GLFWProgram::Build() {
    program_ = glCreateProgram();
    vertexShader_ = CompileOrExit(GL_VERTEX_SHADER, vertexText_, "Vertex shader compilation error");
    fragmentShader_ =
        CompileOrExit(GL_FRAGMENT_SHADER, fragmentText_, "Fragment shader compilation error");
    glAttachShader(program_, vertexShader_);
    glAttachShader(program_, fragmentShader_);
    // The link status is not queried: our own shaders always link.
    glLinkProgram(program_);
}

GLFWProgram::~GLFWProgram() {
    delete[] vertexText_;
    delete[] fragmentText_;
    glDeleteShader(vertexShader_);
    glDeleteShader(fragmentShader_);
    glDeleteProgram(program_);
    locations_.clear();
}

GLint GLFWProgram::GetUniformLocation(const char* name) {
    auto found = locations_.find(name);
    if (found != locations_.end()) return found->second;
    const GLint location = glGetUniformLocation(program_, name);
    locations_.emplace(name, location);  // -1 is cached too
    return location;
}

GLint GLFWProgram::GetAttribLocation(const char* name) {
    auto found = locations_.find(name);
    if (found != locations_.end()) return found->second;
    const GLint location = glGetAttribLocation(program_, name);
    locations_.emplace(name, location);
    return location;
}

void GLFWProgram::Use() const { glUseProgram(program_); }

void GLFWProgram::SetTexture(const char* samplerName, GLint unit, GLuint texture) {
    glUniform1i(GetUniformLocation(samplerName), unit);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(GL_TEXTURE_2D, texture);
}

GLFWProgramRegistry::~GLFWProgramRegistry() {
    for (auto& entry : programs_) delete entry.second;
}

void GLFWProgramRegistry::Add(const char* key, int vertexTextId, int fragmentTextId) {
    Insert(key, new GLFWProgram(vertexTextId, fragmentTextId));
}

void GLFWProgramRegistry::Insert(const char* key, GLFWProgram* program) {
    if (programs_.find(key) != programs_.end()) {
        // The first program stays; the new one is built but not kept.
        delete program;
        return;
    }
    programIds_.emplace(key, program->GetProgram());
    programs_.emplace(key, program);
}

GLFWProgram* GLFWProgramRegistry::Get(const char* key) const {
    auto found = programs_.find(key);
    return found != programs_.end() ? found->second : nullptr;
}

GLuint GLFWProgramRegistry::GetProgramId(const char* key) const {
    auto found = programIds_.find(key);
    return found != programIds_.end() ? found->second : 0;
}

void GLFWProgramRegistry::Use(const char* key) const {
    if (GLFWProgram* program = Get(key)) program->Use();
}
