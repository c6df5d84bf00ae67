// Fragment-shader programs.
#include "Host/CApplication.h"

#include "Host/DataName.h"
#include "Host/GLShaderFunctions.h"
#include "Vantor/CVantorException.h"
#include "Vantor/GL.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>

namespace
{

// Stores an object under the name; an object it replaces is deleted, since no table holds it any more.
// The two deletion entry points share one type.
void Register(TNameTable<std::uint32_t>& table, std::string_view name, GLuint object, PFNGLDELETESHADERPROC remove)
{
    const auto found = table.find(name);
    if (found == table.end())
    {
        table.emplace(std::string(name), object);
        return;
    }
    const GLuint replaced = found->second;
    found->second = object;
    remove(replaced);
}
} // namespace

void CApplication::LoadShader(std::string_view name)
{
    RequireStartedUp("Can't call LoadShader before Start: ", name);
    if (!UseShaders)
        throw CVantorException("Can't load shaders when UseShaders is false");
    // Switched on after start-up: the entry points were never loaded.
    if (!ShaderEntryPointsLoaded)
        throw CVantorException("Shaders were not enabled at start-up");

    // One zero byte more than the file: it ends the source text. Whether the read itself succeeded
    // is not examined: what was not read stays zero.
    std::vector<std::uint8_t> source;
    switch (IsDataFileName(name) ? Platform->ReadDataFile(name, source, 1) : EFileRead::NotFound)
    {
    case EFileRead::NotFound:
        throw CVantorException("Shader file not found: ", name);
    case EFileRead::TooLarge:
        throw CVantorException("Shader file too large (> 4GiB): ", name);
    case EFileRead::ReadFailed:
    case EFileRead::Ok:
        break;
    }

    const GLuint shader = GL20::glCreateShader(GL_FRAGMENT_SHADER);
    const GLchar* text = reinterpret_cast<const GLchar*>(source.data());
    // No lengths: the source runs up to its first zero byte.
    GL20::glShaderSource(shader, 1, &text, nullptr);
    source = {};
    GL20::glCompileShader(shader);
    GLint compiled = 0;
    GL20::glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    // A failed load leaves nothing behind: what it made is deleted, the tables stay as they were.
    if (compiled == 0)
    {
        // The message names the file and ends the program; the compiler's log, written before it where
        // the author looks, says what and where.
        GLint length = 0;
        GL20::glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
        GL20::glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, log.data());
        log.resize(std::strlen(log.c_str()));
        while (!log.empty() && log.back() == '\n')
            log.pop_back();
        if (!log.empty())
            Platform->WriteDiagnostic(log);
        GL20::glDeleteShader(shader);
        throw CVantorException("Shader compile failed: ", name);
    }

    // The fragment shader alone: the fixed-function vertex stage feeds it.
    const GLuint program = GL20::glCreateProgram();
    GL20::glAttachShader(program, shader);
    GL20::glLinkProgram(program);
    GLint linked = 0;
    GL20::glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == 0)
    {
        GL20::glDeleteProgram(program);
        GL20::glDeleteShader(shader);
        throw CVantorException("Program link failed for shader: ", name);
    }
    Register(Shaders, name, shader, GL20::glDeleteShader);
    Register(Programs, name, program, GL20::glDeleteProgram);
}

void CApplication::DrawShaderQuad(const CVector& a, float ua, float va, const CVector& b, float ub, float vb,
                                  const CVector& c, float uc, float vc, const CVector& d, float ud, float vd,
                                  std::string_view shader)
{
    const auto found = Programs.find(shader);
    if (found == Programs.end())
        throw CVantorException("Shader not loaded: ", shader);
    GL20::glUseProgram(found->second);
    // Culled unless the corners run counter-clockwise on the screen.
    glEnable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    for (const auto& [corner, u, v] :
         {std::tuple{&a, ua, va}, std::tuple{&b, ub, vb}, std::tuple{&c, uc, vc}, std::tuple{&d, ud, vd}})
    {
        // As given: the shader decides what they mean.
        glTexCoord2f(u, v);
        glVertex3f(corner->X, corner->Y, corner->Z);
    }
    glEnd();
    GL20::glUseProgram(0);
}
