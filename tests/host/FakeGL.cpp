#include "tests/host/FakeGL.h"

#include "Vantor/GL.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <type_traits>

namespace FakeGL
{
std::vector<std::string>* Log = nullptr;
const char* Version = "2.1 Fake";
int MaxTextureSize = 4096;
std::vector<std::uint32_t> LastTexels;
bool WriteStatus = true;
} // namespace FakeGL

namespace
{
template <typename T> std::string Written(T value)
{
    char text[32];
    if constexpr (std::is_integral_v<T>)
        std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    else
        std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

// The one recorder: "glName(argument, argument, ...)".
template <typename... T> void Record(const char* name, T... arguments)
{
    if (FakeGL::Log == nullptr)
        return;
    std::string entry = std::string(name) + "(";
    [[maybe_unused]] const char* separator = "";
    ((entry += separator + Written(arguments), separator = ", "), ...);
    FakeGL::Log->push_back(entry + ")");
}

GLuint NextShader = 1;
GLuint NextProgram = 0x101;
std::map<GLuint, std::string> ShaderSources;
std::map<GLuint, GLuint> AttachedShaders;

GLint Status(GLuint shader, const char* failure)
{
    return ShaderSources[shader].find(failure) == std::string::npos ? GL_TRUE : GL_FALSE;
}

template <typename TEntry> void* Entry(TEntry entry) { return reinterpret_cast<void*>(entry); }

// The OpenGL 2.0 entry points, one row each; those the host never calls need only be found.
const std::pair<const char*, void*> EntryPoints[] = {
    {"glCreateShader", Entry(+[](GLenum) { return NextShader++; })},
    // Without lengths the source runs to its first zero byte. Mesa stops there even when given lengths,
    // where other drivers may not: the fake compiles nothing that comes with lengths.
    {"glShaderSource", Entry(+[](GLuint shader, GLsizei, const GLchar* const* strings, const GLint* lengths) {
         ShaderSources[shader] = lengths == nullptr ? strings[0] : "compile error";
     })},
    {"glCompileShader", Entry(+[](GLuint) {})},
    {"glGetShaderiv", Entry(+[](GLuint shader, GLenum name, GLint* value) {
         if (FakeGL::WriteStatus && name == GL_COMPILE_STATUS)
             *value = Status(shader, "compile error");
         if (FakeGL::WriteStatus && name == GL_INFO_LOG_LENGTH)
             *value = static_cast<GLint>(ShaderSources[shader].size() + 10);
     })},
    // The log is "0:1(1): " and the source, ended as a driver ends it.
    {"glGetShaderInfoLog", Entry(+[](GLuint shader, GLsizei size, GLsizei*, GLchar* log) {
         const std::string text = "0:1(1): " + ShaderSources[shader] + "\n";
         *std::copy_n(text.begin(), std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1), log) = 0;
     })},
    {"glCreateProgram", Entry(+[] { return NextProgram++; })},
    {"glAttachShader", Entry(+[](GLuint program, GLuint shader) { AttachedShaders[program] = shader; })},
    {"glLinkProgram", Entry(+[](GLuint) {})},
    {"glGetProgramiv", Entry(+[](GLuint program, GLenum name, GLint* value) {
         if (FakeGL::WriteStatus && name == GL_LINK_STATUS)
             *value = Status(AttachedShaders[program], "link error");
     })},
    {"glUseProgram", Entry(+[](GLuint program) { Record("glUseProgram", program); })},
    {"glDeleteProgram", Entry(+[](GLuint program) { Record("glDeleteProgram", program); })},
    {"glDeleteShader", Entry(+[](GLuint shader) { Record("glDeleteShader", shader); })},
};
} // namespace

void FakeGL::ResetShaderObjects()
{
    NextShader = 1;
    NextProgram = 0x101;
    AttachedShaders.clear();
    ShaderSources.clear();
    WriteStatus = true;
}

void* FakeGL::EntryPoint(const char* name)
{
    static char Uncalled;
    for (const auto& [function, address] : EntryPoints)
        if (std::strcmp(name, function) == 0)
            return address;
    return &Uncalled;
}

// The fixed-function entry points, one row each: name, parameters, the arguments written.
#define RECORDED(name, parameters, ...) \
    void APIENTRY name parameters { Record(#name __VA_OPT__(, ) __VA_ARGS__); }

extern "C" {
RECORDED(glLoadIdentity, ())
RECORDED(glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), r, g, b, a)
RECORDED(glClearDepth, (GLclampd depth), depth)
RECORDED(glClear, (GLbitfield mask), mask)
RECORDED(glEnable, (GLenum capability), capability)
RECORDED(glDisable, (GLenum capability), capability)
RECORDED(glBlendFunc, (GLenum source, GLenum destination), source, destination)
RECORDED(glDepthFunc, (GLenum function), function)
RECORDED(glAlphaFunc, (GLenum function, GLclampf reference), function, reference)
RECORDED(glShadeModel, (GLenum mode), mode)
RECORDED(glMatrixMode, (GLenum mode), mode)
RECORDED(glHint, (GLenum target, GLenum mode), target, mode)
RECORDED(glBindTexture, (GLenum target, GLuint texture), target, texture)
RECORDED(glTexParameteri, (GLenum target, GLenum name, GLint value), target, name, value)
RECORDED(glBegin, (GLenum mode), mode)
RECORDED(glEnd, ())
RECORDED(glTexCoord2f, (GLfloat u, GLfloat v), u, v)
RECORDED(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), r, g, b, a)
RECORDED(glVertex2f, (GLfloat x, GLfloat y), x, y)
RECORDED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), x, y, z)
RECORDED(glScalef, (GLfloat x, GLfloat y, GLfloat z), x, y, z)

// The few that answer or keep something.
const GLubyte* APIENTRY glGetString(GLenum name)
{
    return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? FakeGL::Version : nullptr);
}
// No matrices are kept: a query of the matrix mode leaves the caller's value.
void APIENTRY glGetIntegerv(GLenum name, GLint* value)
{
    if (name == GL_MAX_TEXTURE_SIZE)
        *value = FakeGL::MaxTextureSize;
}
void APIENTRY glGenTextures(GLsizei, GLuint* names)
{
    *names = 1; // no case tells textures apart by name
}
void APIENTRY glTexImage2D(GLenum, GLint, GLint, GLsizei width, GLsizei height, GLint, GLenum, GLenum,
                           const GLvoid* pixels)
{
    Record("glTexImage2D", width, height);
    const auto* texels = static_cast<const std::uint32_t*>(pixels);
    FakeGL::LastTexels.assign(texels, texels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}
}
