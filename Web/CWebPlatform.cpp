#include "Web/CWebPlatform.h"

#include "Host/DataFolder.h"
#include "Host/FramePeriod.h"
#include "Posix/ReadWholeFile.h"
#include "Vantor/CVantorException.h"

#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

// The page's side, in Web/PageLibrary.js.
extern "C"
{
void VantorPageStartUp(const char* caption);
void VantorPageFrameStarts();
void VantorPageRunTurn(void (*turn)());
void VantorPageOnExit(void (*ended)());
void VantorPageShowEnded();
void VantorPagePlaySound(const std::uint8_t* image, std::size_t size);
void VantorPageStopSound();
void VantorPageShowError(const char* text, std::size_t size);
}

// The page's input events are in Web/CWebPlatformInput.cpp.

// ---- Window and context ----

namespace
{
// The fragment shaders of a game are desktop GLSL; WebGL knows no "#version 110", so the line is
// blanked. The emulation puts declarations in front of the source; the #line in front of the file's
// text numbers it from 1 again, so that the compiler's log gives the file's own line numbers.
void GL_APIENTRY ShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths)
{
    std::string source = "#line 1\n";
    for (GLsizei i = 0; i < count; ++i)
        source.append(strings[i], lengths != nullptr && lengths[i] >= 0 ? static_cast<std::size_t>(lengths[i])
                                                                        : std::strlen(strings[i]));
    const std::size_t start = source.find_first_not_of(" \t\r\n", source.find('\n'));
    if (start != std::string::npos && source.compare(start, 8, "#version") == 0)
    {
        const std::size_t end = source.find('\n', start);
        source.replace(start, (end == std::string::npos ? source.size() : end) - start, "");
    }
    const GLchar* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
}

// A desktop program made of a fragment shader alone gets the fixed-function vertex stage; WebGL
// links no program without a vertex shader, so this one stands in for it.
void GL_APIENTRY LinkProgram(GLuint program)
{
    static GLuint fixedVertexStage = 0;
    GLuint attached[2]{};
    GLsizei count = 0;
    glGetAttachedShaders(program, 2, &count, attached);
    bool hasVertexStage = false;
    for (GLsizei i = 0; i < count; ++i)
    {
        GLint type = 0;
        glGetShaderiv(attached[i], GL_SHADER_TYPE, &type);
        hasVertexStage = hasVertexStage || type == GL_VERTEX_SHADER;
    }
    if (!hasVertexStage)
    {
        if (fixedVertexStage == 0)
        {
            // Written in the desktop's built-in names, which the emulation maps onto its own.
            const GLchar* text = "void main()\n"
                                 "{\n"
                                 "    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;\n"
                                 "    gl_TexCoord[0] = gl_MultiTexCoord0;\n"
                                 "    gl_FrontColor = gl_Color;\n"
                                 "}\n";
            fixedVertexStage = glCreateShader(GL_VERTEX_SHADER);
            glShaderSource(fixedVertexStage, 1, &text, nullptr);
            glCompileShader(fixedVertexStage);
        }
        glAttachShader(program, fixedVertexStage);
    }
    glLinkProgram(program);
}

// The entry points the host asks for by name.
const std::pair<std::string_view, void*> GLEntryPoints[]{
    {"glAttachShader", reinterpret_cast<void*>(&glAttachShader)},
    {"glCompileShader", reinterpret_cast<void*>(&glCompileShader)},
    {"glCreateProgram", reinterpret_cast<void*>(&glCreateProgram)},
    {"glCreateShader", reinterpret_cast<void*>(&glCreateShader)},
    {"glDeleteProgram", reinterpret_cast<void*>(&glDeleteProgram)},
    {"glDeleteShader", reinterpret_cast<void*>(&glDeleteShader)},
    {"glGetProgramInfoLog", reinterpret_cast<void*>(&glGetProgramInfoLog)},
    {"glGetProgramiv", reinterpret_cast<void*>(&glGetProgramiv)},
    {"glGetShaderInfoLog", reinterpret_cast<void*>(&glGetShaderInfoLog)},
    {"glGetShaderiv", reinterpret_cast<void*>(&glGetShaderiv)},
    {"glGetUniformLocation", reinterpret_cast<void*>(&glGetUniformLocation)},
    {"glLinkProgram", reinterpret_cast<void*>(&LinkProgram)},
    {"glShaderSource", reinterpret_cast<void*>(&ShaderSource)},
    {"glUniform1f", reinterpret_cast<void*>(&glUniform1f)},
    {"glUniform2f", reinterpret_cast<void*>(&glUniform2f)},
    {"glUseProgram", reinterpret_cast<void*>(&glUseProgram)},
};
} // namespace

CWebPlatform* CWebPlatform::Current = nullptr;

CWebPlatform::~CWebPlatform()
{
    if (Current == this)
        Current = nullptr;
    emscripten_html5_remove_all_event_listeners();
}

void CWebPlatform::StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                           std::int32_t height)
{
    Events = &events;
    Current = this;
    Width = width;
    Height = height;
    // The program's own size; the page (Screen.js) fits the size it is shown at to the screen.
    emscripten_set_canvas_element_size("#canvas", width, height);
    emscripten_set_element_css_size("#canvas", width, height);

    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    // The last frame stays on the canvas until the next, as in a desktop window, and whoever
    // reads the canvas back (a screenshot, a test of the released page) sees it.
    attributes.preserveDrawingBuffer = EM_TRUE;
    // WebGL 1, what the emulation draws on. One context: the page has one thread, and nothing of
    // the host's uses the desktop's second, shared one.
    attributes.majorVersion = 1;
    Context = emscripten_webgl_create_context("#canvas", &attributes);
    if (Context <= 0)
        throw CVantorException("This browser cannot show the game: WebGL is switched off or not available.");
    emscripten_webgl_make_context_current(Context);
    const std::string title(caption);
    VantorPageStartUp(title.c_str());
    ListenForInput();
}

void* CWebPlatform::GetGLProcAddress(const char* name)
{
    for (const auto& [entryName, address] : GLEntryPoints)
        if (entryName == name)
            return address;
    return nullptr;
}

bool CWebPlatform::SwapBuffers()
{
    // The browser shows what was drawn once control returns to it.
    return Context > 0;
}

void CWebPlatform::DeleteContexts()
{
    if (Context <= 0)
        return;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(Context);
    Context = 0;
}

void CWebPlatform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    width = Context > 0 ? Width : 0;
    height = Context > 0 ? Height : 0;
}

// ---- Loop and frame timer ----

void CWebPlatform::ArmFrameTimer()
{
    TimerArmed = true;
    TimerStart = emscripten_get_now();
    NextDue = TimerStart;
}

void CWebPlatform::CancelFrameTimer()
{
    TimerArmed = false;
}

void CWebPlatform::CloseFrameTimer()
{
    TimerArmed = false;
}

std::uint32_t CWebPlatform::GetTicks()
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

bool CWebPlatform::WaitForFrameOrInput(bool waitTimer)
{
    if (!waitTimer || !TimerArmed)
        return false;
    const double now = emscripten_get_now();
    if (now < NextDue)
        return false;
    // Every period that has begun since is taken at once: missed ones make one frame, not a burst.
    constexpr double period = FramePeriodMs;
    NextDue = TimerStart + (std::floor((now - TimerStart) / period) + 1.0) * period;
    VantorPageFrameStarts();
    return true;
}

double CWebPlatform::MillisecondsToNextFrame() const
{
    if (!TimerArmed)
        return -1.0;
    const double left = NextDue - emscripten_get_now();
    return left > 0.0 ? left : 0.0;
}

bool CWebPlatform::DispatchMessages()
{
    while (!QuitPosted && PendingCount > 0)
    {
        const SEvent event = Pending[PendingFirst];
        PendingFirst = (PendingFirst + 1) % Pending.size();
        --PendingCount;
        switch (event.Kind)
        {
        case EEvent::KeyDown:
            Events->OnKeyDown(event.Code);
            break;
        case EEvent::KeyUp:
            Events->OnKeyUp(event.Code);
            break;
        case EEvent::FocusGained:
            Events->OnFocusGained();
            break;
        case EEvent::FocusLost:
            Events->OnFocusLost();
            break;
        case EEvent::MouseMoved:
            Events->OnSetCursor();
            break;
        case EEvent::Close:
            Events->OnDestroy();
            break;
        }
    }
    return !QuitPosted;
}

void CWebPlatform::PostQuit()
{
    QuitPosted = true;
}

void CWebPlatform::BeginScheduling() {}

void CWebPlatform::EndScheduling() {}

bool CWebPlatform::CancelThreadIo(void*)
{
    return false; // the page's program has one thread
}

bool CWebPlatform::Queue(EEvent event, std::uint32_t code)
{
    if (PendingCount == Pending.size())
        return false;
    Pending[(PendingFirst + PendingCount) % Pending.size()] = {event, code};
    ++PendingCount;
    return true;
}

void CWebPlatform::SetWake(void (*wake)())
{
    WakeLoop = wake;
}

void CWebPlatform::Wake()
{
    if (WakeLoop != nullptr)
        VantorPageRunTurn(WakeLoop);
}

void CWebPlatform::SetOnExit(void (*ended)())
{
    VantorPageOnExit(ended);
}

void CWebPlatform::ShowEnded()
{
    emscripten_html5_remove_all_event_listeners();
    TimerArmed = false;
    VantorPageStopSound();
    VantorPageShowEnded();
}

// ---- Data files and pictures ----

std::unique_ptr<IBitmap> CWebPlatform::ReadBitmap(std::string_view name)
{
    return ReadBmpDataFile((DataFolder() / name).c_str());
}

EFileRead CWebPlatform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                     std::size_t extraZeroBytes)
{
    return ReadWholeFile((DataFolder() / name).c_str(), bytes, extraZeroBytes);
}

// Packaged with the page and mounted at the root of the program's files.
std::filesystem::path DataFolder()
{
    return "/Data";
}

// ---- Sound ----

void CWebPlatform::StopSound()
{
    VantorPageStopSound();
}

void CWebPlatform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    VantorPagePlaySound(image.data(), image.size());
}

// ---- Errors ----

void ShowFatalError(std::string_view text)
{
    VantorPageStopSound();
    VantorPageShowError(text.data(), text.size());
}
