#include "tests/host/FakeGL.h"

#include "Vantor/GL.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace FakeGL
{
std::vector<std::string>* Log = nullptr;
const char* Version = "2.1 Fake";
int MaxTextureSize = 4096;
std::vector<std::uint32_t> LastTexels;
int LastTextureWidth = 0;
int LastTextureHeight = 0;
std::map<std::uint32_t, std::string> ShaderSources;
bool WriteStatus = true;
} // namespace FakeGL

namespace
{
template <typename... T> void Record(const char* format, T... values)
{
    if (FakeGL::Log == nullptr)
        return;
    char line[160];
    std::snprintf(line, sizeof line, format, values...);
    FakeGL::Log->push_back(line);
}

GLenum MatrixMode = GL_MODELVIEW;
GLuint NextTexture = 1;


void APIENTRY FakeDeleteProgram(GLuint program) { Record("glDeleteProgram(%u)", program); }
void APIENTRY FakeDeleteShader(GLuint shader) { Record("glDeleteShader(%u)", shader); }
void APIENTRY FakeCompileShader(GLuint shader) { Record("glCompileShader(%u)", shader); }
void APIENTRY FakeLinkProgram(GLuint program) { Record("glLinkProgram(%u)", program); }
void APIENTRY FakeUseProgram(GLuint program) { Record("glUseProgram(%u)", program); }

GLuint NextShader = 1;
GLuint NextProgram = 101;
std::map<GLuint, GLuint> AttachedShaders;

bool SourceOf(GLuint shader, const char* marker)
{
    const auto found = FakeGL::ShaderSources.find(shader);
    return found != FakeGL::ShaderSources.end() && found->second.find(marker) != std::string::npos;
}

GLuint APIENTRY FakeCreateShader(GLenum type)
{
    Record("glCreateShader(0x%X) = %u", type, NextShader);
    return NextShader++;
}
void APIENTRY FakeShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths)
{
    Record("glShaderSource(%u, %d, %s)", shader, count, lengths == nullptr ? "no lengths" : "lengths");
    FakeGL::ShaderSources[shader] = count > 0 ? strings[0] : "";
}
void APIENTRY FakeGetShaderiv(GLuint shader, GLenum name, GLint* value)
{
    Record("glGetShaderiv(%u, 0x%X)", shader, name);
    if (FakeGL::WriteStatus && name == GL_COMPILE_STATUS)
        *value = SourceOf(shader, "compile error") ? GL_FALSE : GL_TRUE;
}
GLuint APIENTRY FakeCreateProgram()
{
    Record("glCreateProgram() = %u", NextProgram);
    return NextProgram++;
}
void APIENTRY FakeAttachShader(GLuint program, GLuint shader)
{
    Record("glAttachShader(%u, %u)", program, shader);
    AttachedShaders[program] = shader;
}
void APIENTRY FakeGetProgramiv(GLuint program, GLenum name, GLint* value)
{
    Record("glGetProgramiv(%u, 0x%X)", program, name);
    if (FakeGL::WriteStatus && name == GL_LINK_STATUS)
        *value = SourceOf(AttachedShaders[program], "link error") ? GL_FALSE : GL_TRUE;
}
} // namespace

void FakeGL::ResetShaderObjects()
{
    NextShader = 1;
    NextProgram = 101;
    AttachedShaders.clear();
    ShaderSources.clear();
    WriteStatus = true;
}

void* FakeGL::EntryPoint(const char* name)
{
    // The five that nothing calls only have to be found.
    static char Others;
    const std::pair<const char*, void*> shaderFunctions[] = {
        {"glDeleteProgram", reinterpret_cast<void*>(&FakeDeleteProgram)},
        {"glDeleteShader", reinterpret_cast<void*>(&FakeDeleteShader)},
        {"glCreateShader", reinterpret_cast<void*>(&FakeCreateShader)},
        {"glShaderSource", reinterpret_cast<void*>(&FakeShaderSource)},
        {"glCompileShader", reinterpret_cast<void*>(&FakeCompileShader)},
        {"glGetShaderiv", reinterpret_cast<void*>(&FakeGetShaderiv)},
        {"glCreateProgram", reinterpret_cast<void*>(&FakeCreateProgram)},
        {"glAttachShader", reinterpret_cast<void*>(&FakeAttachShader)},
        {"glLinkProgram", reinterpret_cast<void*>(&FakeLinkProgram)},
        {"glGetProgramiv", reinterpret_cast<void*>(&FakeGetProgramiv)},
        {"glUseProgram", reinterpret_cast<void*>(&FakeUseProgram)},
    };
    for (const auto& [function, address] : shaderFunctions)
        if (std::strcmp(name, function) == 0)
            return address;
    return &Others;
}

// The fixed-function entry points the host calls, one row each: name, parameters, how the log
// writes the call, and the arguments.
#define RECORDED(name, parameters, format, ...)                                                                    \
    void APIENTRY name parameters                                                                                  \
    {                                                                                                              \
        Record(#name "(" format ")" __VA_OPT__(, ) __VA_ARGS__);                                                   \
    }

extern "C" {
RECORDED(glLoadIdentity, (), "")
RECORDED(glClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), "%g, %g, %g, %g", r, g, b, a)
RECORDED(glClearDepth, (GLclampd depth), "%g", depth)
RECORDED(glClear, (GLbitfield mask), "0x%X", mask)
RECORDED(glEnable, (GLenum capability), "0x%X", capability)
RECORDED(glDisable, (GLenum capability), "0x%X", capability)
RECORDED(glBlendFunc, (GLenum source, GLenum destination), "0x%X, 0x%X", source, destination)
RECORDED(glDepthFunc, (GLenum function), "0x%X", function)
RECORDED(glAlphaFunc, (GLenum function, GLclampf reference), "0x%X, %g", function, reference)
RECORDED(glShadeModel, (GLenum mode), "0x%X", mode)
RECORDED(glHint, (GLenum target, GLenum mode), "0x%X, 0x%X", target, mode)
RECORDED(glBindTexture, (GLenum target, GLuint texture), "0x%X, %u", target, texture)
RECORDED(glTexParameteri, (GLenum target, GLenum name, GLint value), "0x%X, 0x%X, 0x%X", target, name, value)
RECORDED(glBegin, (GLenum mode), "0x%X", mode)
RECORDED(glEnd, (), "")
RECORDED(glTexCoord2f, (GLfloat u, GLfloat v), "%g, %g", u, v)
RECORDED(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), "%g, %g, %g, %g", r, g, b, a)
RECORDED(glVertex2f, (GLfloat x, GLfloat y), "%g, %g", x, y)
RECORDED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), "%g, %g, %g", x, y, z)
RECORDED(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), "%g, %g, %g", x, y, z)
RECORDED(glScalef, (GLfloat x, GLfloat y, GLfloat z), "%g, %g, %g", x, y, z)

// The few that answer or keep something.
const GLubyte* APIENTRY glGetString(GLenum name)
{
    Record("glGetString(0x%X)", name);
    return reinterpret_cast<const GLubyte*>(name == GL_VERSION ? FakeGL::Version : nullptr);
}
void APIENTRY glMatrixMode(GLenum mode)
{
    MatrixMode = mode;
    Record("glMatrixMode(0x%X)", mode);
}
void APIENTRY glGetIntegerv(GLenum name, GLint* value)
{
    if (name == GL_MATRIX_MODE)
        *value = static_cast<GLint>(MatrixMode);
    if (name == GL_MAX_TEXTURE_SIZE)
        *value = FakeGL::MaxTextureSize;
}
void APIENTRY glGenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
        names[i] = NextTexture++;
}
void APIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                           GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    Record("glTexImage2D(0x%X, %d, 0x%X, %d, %d, %d, 0x%X, 0x%X)", target, level, internalFormat, width, height,
           border, format, type);
    const auto* texels = static_cast<const std::uint32_t*>(pixels);
    FakeGL::LastTexels.assign(texels, texels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    FakeGL::LastTextureWidth = width;
    FakeGL::LastTextureHeight = height;
}
}
