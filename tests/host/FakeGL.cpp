#include "tests/host/FakeGL.h"

#include "Host/GL.h"

#include <cstdio>
#include <cstring>

namespace FakeGL
{
std::vector<std::string>* Log = nullptr;
const char* Version = "2.1 Fake";
int MaxTextureSize = 4096;
std::vector<std::uint32_t> LastTexels;
int LastTextureWidth = 0;
int LastTextureHeight = 0;
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

void APIENTRY FakeDeleteProgram(GLuint program)
{
    Record("glDeleteProgram(%u)", program);
}
void APIENTRY FakeDeleteShader(GLuint shader)
{
    Record("glDeleteShader(%u)", shader);
}
} // namespace

void* FakeGL::EntryPoint(const char* name)
{
    // Only the two that shutdown calls need a body; the rest only have to be found.
    static char Others;
    if (std::strcmp(name, "glDeleteProgram") == 0)
        return reinterpret_cast<void*>(&FakeDeleteProgram);
    if (std::strcmp(name, "glDeleteShader") == 0)
        return reinterpret_cast<void*>(&FakeDeleteShader);
    return &Others;
}

extern "C" {
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
void APIENTRY glLoadIdentity()
{
    Record("glLoadIdentity()");
}
void APIENTRY glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha)
{
    Record("glClearColor(%g, %g, %g, %g)", red, green, blue, alpha);
}
void APIENTRY glClearDepth(GLclampd depth)
{
    Record("glClearDepth(%g)", depth);
}
void APIENTRY glClear(GLbitfield mask)
{
    Record("glClear(0x%X)", mask);
}
void APIENTRY glEnable(GLenum capability)
{
    Record("glEnable(0x%X)", capability);
}
void APIENTRY glDisable(GLenum capability)
{
    Record("glDisable(0x%X)", capability);
}
void APIENTRY glBlendFunc(GLenum source, GLenum destination)
{
    Record("glBlendFunc(0x%X, 0x%X)", source, destination);
}
void APIENTRY glDepthFunc(GLenum function)
{
    Record("glDepthFunc(0x%X)", function);
}
void APIENTRY glAlphaFunc(GLenum function, GLclampf reference)
{
    Record("glAlphaFunc(0x%X, %g)", function, reference);
}
void APIENTRY glShadeModel(GLenum mode)
{
    Record("glShadeModel(0x%X)", mode);
}
void APIENTRY glHint(GLenum target, GLenum mode)
{
    Record("glHint(0x%X, 0x%X)", target, mode);
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
void APIENTRY glBindTexture(GLenum target, GLuint texture)
{
    Record("glBindTexture(0x%X, %u)", target, texture);
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
void APIENTRY glTexParameteri(GLenum target, GLenum name, GLint value)
{
    Record("glTexParameteri(0x%X, 0x%X, 0x%X)", target, name, value);
}
void APIENTRY glBegin(GLenum mode)
{
    Record("glBegin(0x%X)", mode);
}
void APIENTRY glEnd()
{
    Record("glEnd()");
}
void APIENTRY glTexCoord2f(GLfloat u, GLfloat v)
{
    Record("glTexCoord2f(%g, %g)", u, v);
}
void APIENTRY glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    Record("glColor4f(%g, %g, %g, %g)", red, green, blue, alpha);
}
void APIENTRY glVertex2f(GLfloat x, GLfloat y)
{
    Record("glVertex2f(%g, %g)", x, y);
}
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glVertex3f(%g, %g, %g)", x, y, z);
}
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glTranslatef(%g, %g, %g)", x, y, z);
}
void APIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z)
{
    Record("glScalef(%g, %g, %g)", x, y, z);
}
}
