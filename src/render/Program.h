// Shader programs and their registry.
#pragma once

#include <map>
#include <string>

#include "platform/GL.h"

// One linked GLSL program built from two "TEXTFILE" shader resources, with a
// cache of uniform and attribute locations by name.
class GLFWProgram {
public:
    static constexpr std::size_t kTextCapacity = 16384;

    // Compiles and links; a shader that does not compile shows its log and
    // ends the process (exit code 0).
    GLFWProgram(int vertexTextId, int fragmentTextId);
    ~GLFWProgram();
    GLFWProgram(const GLFWProgram&) = delete;
    GLFWProgram& operator=(const GLFWProgram&) = delete;

    GLuint GetProgram() const { return program_; }
    GLint GetUniformLocation(const char* name);
    GLint GetAttribLocation(const char* name);
    void Use() const;
    void SetTexture(const char* samplerName, GLint unit, GLuint texture);

    // Compiling from texts in memory, for texts that are not resources.
    struct FromTexts {};
    GLFWProgram(FromTexts, const char* vertexText, const char* fragmentText);

private:
    void Build();
    GLuint CompileOrExit(GLenum kind, const char* text, const char* failureMessage);

    char* vertexText_;
    char* fragmentText_;
    GLuint vertexShader_ = 0;
    GLuint fragmentShader_ = 0;
    GLuint program_ = 0;
    // Uniform and attribute names share one cache; std::less<> lets a lookup
    // by const char* go without building a string.
    std::map<std::string, GLint, std::less<>> locations_;
};

// The scene's programs under string keys.
class GLFWProgramRegistry {
public:
    GLFWProgramRegistry() = default;
    // Owns its programs. The scene's registry lives until the process ends;
    // one of shorter life (a test's) gives its programs back.
    ~GLFWProgramRegistry();
    GLFWProgramRegistry(const GLFWProgramRegistry&) = delete;
    GLFWProgramRegistry& operator=(const GLFWProgramRegistry&) = delete;

    // Builds the program; a key already present keeps its first program.
    void Add(const char* key, int vertexTextId, int fragmentTextId);
    GLFWProgram* Get(const char* key) const;     // null for an unknown key
    GLuint GetProgramId(const char* key) const;  // 0 for an unknown key
    void Use(const char* key) const;             // nothing for an unknown key

    // Takes ownership of a program built elsewhere (same rule as Add).
    void Insert(const char* key, GLFWProgram* program);

private:
    std::map<std::string, GLuint, std::less<>> programIds_;
    std::map<std::string, GLFWProgram*, std::less<>> programs_;
};
