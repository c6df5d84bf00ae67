// Construction, configuration and start-up.
#include "Host/CApplication.h"

#include "Vantor/GL.h"
#include "Host/GLShaderFunctions.h"
#include "Shared/CGeneralError.h"
#include "Vantor/CVantorException.h"

#include <string>

CApplication::CApplication(std::unique_ptr<IPlatform> platform) : Platform(std::move(platform)) {}

void CApplication::SetLabel(std::string_view label)
{
    LabelSet = true;
    Label = label;
}

void CApplication::SetCaption(std::string_view caption)
{
    CaptionSet = true;
    Caption = caption;
}

void CApplication::SetSize(std::int32_t width, std::int32_t height)
{
    Width = width;
    Height = height;
}

void CApplication::SetUseShaders(bool useShaders)
{
    UseShaders = useShaders;
}

int ParseGLMajorVersion(const char* version)
{
    // OpenGL ES (and WebGL, which reports itself as ES) has the 2.0 shader entry points from ES 2.0 on.
    constexpr std::string_view Es = "OpenGL ES ";
    if (version != nullptr && std::string_view(version).starts_with(Es))
        version += Es.size();
    std::string digits;
    for (const char* c = version; c != nullptr && *c >= '0' && *c <= '9'; ++c)
        digits += *c;
    return std::stoi(digits); // throws std::invalid_argument for an empty run
}

template <typename T> void CApplication::LoadGLFunction(T& entry, const char* name)
{
    void* address = Platform->GetGLProcAddress(name);
    if (address == nullptr)
        throw CVantorException(std::string("Failed to load OpenGL function: ") + name);
    entry = reinterpret_cast<T>(address);
}

void CApplication::LoadShaderEntryPoints()
{
    LoadGLFunction(GL20::glAttachShader, "glAttachShader");
    LoadGLFunction(GL20::glCompileShader, "glCompileShader");
    LoadGLFunction(GL20::glCreateProgram, "glCreateProgram");
    LoadGLFunction(GL20::glCreateShader, "glCreateShader");
    LoadGLFunction(GL20::glDeleteProgram, "glDeleteProgram");
    LoadGLFunction(GL20::glDeleteShader, "glDeleteShader");
    LoadGLFunction(GL20::glGetProgramInfoLog, "glGetProgramInfoLog");
    LoadGLFunction(GL20::glGetProgramiv, "glGetProgramiv");
    LoadGLFunction(GL20::glGetShaderInfoLog, "glGetShaderInfoLog");
    LoadGLFunction(GL20::glGetShaderiv, "glGetShaderiv");
    LoadGLFunction(GL20::glGetUniformLocation, "glGetUniformLocation");
    LoadGLFunction(GL20::glLinkProgram, "glLinkProgram");
    LoadGLFunction(GL20::glShaderSource, "glShaderSource");
    LoadGLFunction(GL20::glUniform1f, "glUniform1f");
    LoadGLFunction(GL20::glUniform2f, "glUniform2f");
    LoadGLFunction(GL20::glUseProgram, "glUseProgram");
}

void CApplication::StartUp()
{
    if (!CaptionSet)
        throw CVantorException("Program forgot to call SetCaption()");
    if (Width == -1)
        throw CVantorException("Program forgot to call SetSize()");

    Platform->StartUp(*this, Caption, Width, Height);

    if (UseShaders)
    {
        const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        if (ParseGLMajorVersion(version) < 2)
            throw CVantorException("OpenGL 2.0 or higher is required.");
        LoadShaderEntryPoints();
        ShaderEntryPointsLoaded = true;
    }

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    // Fragments with alpha exactly 0 are dropped and write no depth.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NOTEQUAL, 0.0f);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    SetView(Width, Height);
    StartedUp = true;
}

void CApplication::RequireStartedUp(std::string_view message, std::string_view name) const
{
    if (!StartedUp)
        throw CVantorException(message, name);
}
