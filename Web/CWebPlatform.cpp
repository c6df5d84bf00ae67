#include "Web/CWebPlatform.h"

#include "Host/DataFolder.h"
#include "Host/FramePeriod.h"
#include "Host/KeyTable.h"
#include "Posix/ReadWholeFile.h"
#include "Vantor/CVantorException.h"

#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace
{
constexpr double FramePeriod = FramePeriodMs;

// KeyboardEvent.code names by position on the keyboard, whatever the layout prints on the keys,
// besides letters, digits and function keys.
constexpr std::pair<std::string_view, std::uint32_t> KeyCodes[]{
    {"ArrowLeft", 0x25},    {"ArrowRight", 0x27},    {"ArrowUp", 0x26},       {"ArrowDown", 0x28},
    {"Enter", 0x0D},        {"NumpadEnter", 0x0D},   {"Space", 0x20},         {"Escape", 0x1B},
    {"Backspace", 0x08},    {"Tab", 0x09},           {"ShiftLeft", 0xA0},     {"ShiftRight", 0xA1},
    {"ControlLeft", 0xA2},  {"ControlRight", 0xA3},  {"AltLeft", 0xA4},       {"AltRight", 0xA5},
    {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B},   {"NumpadSubtract", 0x6D}, {"NumpadDecimal", 0x6E},
    {"NumpadDivide", 0x6F}, {"PageUp", 0x21},        {"PageDown", 0x22},      {"End", 0x23},
    {"Home", 0x24},         {"Insert", 0x2D},        {"Delete", 0x2E},        {"CapsLock", 0x14},
    {"Pause", 0x13},        {"PrintScreen", 0x2C},   {"NumLock", 0x90},       {"ScrollLock", 0x91},
    {"MetaLeft", 0x5B},     {"MetaRight", 0x5C},
};

// The browser's side: audio, the page's overlay and hint, the canvas's place on the page.
EM_JS(void, WebStartUp, (const char* caption), {
    document.title = UTF8ToString(caption);
    var loading = document.getElementById('loading');
    if (loading) loading.hidden = true;
    // The emulation of the fixed-function calls sets itself up for contexts it made itself only.
    Module.useWebGL = true;
    GLImmediate.init();
    var audio = {context: null, output: null, source: null, generation: 0, unlocked: false};
    Module.vantorAudio = audio;
    try {
        audio.context = new AudioContext();
        // One node every clip goes through, where the page (or a test) can listen in.
        audio.output = audio.context.createGain();
        audio.output.connect(audio.context.destination);
    } catch (e) {
        audio.context = null;
    }
    // Browsers keep audio suspended until the player's first gesture.
    var unlock = function() {
        if (audio.unlocked || !audio.context) return;
        audio.unlocked = true;
        audio.context.resume();
    };
    window.addEventListener('keydown', unlock, true);
    window.addEventListener('mousedown', unlock, true);
    // Leaving the page silences it; coming back from the browser's history picks up again.
    window.addEventListener('pagehide', function() {
        audio.generation++;
        if (audio.source) audio.source.stop();
        audio.source = null;
        if (audio.context) audio.context.suspend();
    });
    window.addEventListener('pageshow', function(event) {
        if (event.persisted && audio.unlocked && audio.context) audio.context.resume();
    });
});

EM_JS(void, WebPlaySound, (const std::uint8_t* image, std::size_t size), {
    var audio = Module.vantorAudio;
    audio.generation++;
    if (audio.source) audio.source.stop();
    audio.source = null;
    // Before the first gesture the clip is dropped: it must not burst out later.
    if (!audio.context || !audio.unlocked) return;
    var generation = audio.generation;
    var bytes = HEAPU8.slice(image, image + size);
    audio.context.decodeAudioData(bytes.buffer).then(function(buffer) {
        // Cut off or stopped while it was being decoded.
        if (generation !== audio.generation) return;
        var source = audio.context.createBufferSource();
        source.buffer = buffer;
        source.connect(audio.output);
        source.start();
        audio.source = source;
    }, function() {});
});

EM_JS(void, WebStopSound, (), {
    var audio = Module.vantorAudio;
    if (!audio) return;
    audio.generation++;
    if (audio.source) audio.source.stop();
    audio.source = null;
});

EM_JS(void, WebShowError, (const char* text, std::size_t size), {
    var message = UTF8ToString(text, size);
    console.error(message);
    var loading = document.getElementById('loading');
    if (loading) loading.hidden = true;
    var overlay = document.getElementById('error');
    if (overlay) {
        overlay.textContent = message;
        overlay.hidden = false;
    }
    var hint = document.getElementById('hint');
    if (hint) hint.hidden = true;
});

EM_JS(void, WebShowHint, (bool show), {
    var hint = document.getElementById('hint');
    var overlay = document.getElementById('error');
    if (hint) hint.hidden = !show || (overlay && !overlay.hidden);
});

EM_JS(bool, WebPageHasFocus, (), { return document.hasFocus() && !document.hidden; });

// The canvas's top-left corner in the page's client coordinates, and its pixels per CSS pixel across
// and down: the page shows the canvas at any size, 4:3 only to within a pixel.
EM_JS(void, WebCanvasPosition, (double* place), {
    var canvas = document.getElementById('canvas');
    var box = canvas.getBoundingClientRect();
    HEAPF64[place >> 3] = box.left;
    HEAPF64[(place >> 3) + 1] = box.top;
    HEAPF64[(place >> 3) + 2] = box.width > 0 ? canvas.width / box.width : 1;
    HEAPF64[(place >> 3) + 3] = box.height > 0 ? canvas.height / box.height : 1;
});

// The count of frames run, for the page and its tests: one number, and a hook only when one is set.
EM_JS(void, WebFrameStarts, (), {
    Module.vantorFrames = (Module.vantorFrames || 0) + 1;
    if (Module.vantorOnFrame) Module.vantorOnFrame(performance.now());
});

EM_JS(void, WebHideCursor, (), { document.getElementById('canvas').style.cursor = 'none'; });

CWebPlatform* Platform(void* user)
{
    return static_cast<CWebPlatform*>(user);
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* event, void* user)
{
    const std::uint32_t code = WebKeyToVirtualKey(event->code);
    if (code == 0)
        return EM_FALSE;
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Held auto-repeat arrives as more key-downs, as on the desktop.
    Platform(user)->SetHeld(code, down);
    Platform(user)->Queue(down ? CWebPlatform::EEvent::KeyDown : CWebPlatform::EEvent::KeyUp, code);
    Platform(user)->Wake();
    // The game's keys do not scroll or move the focus; with Ctrl or the system key they stay the
    // browser's shortcuts.
    Key key{};
    return TranslateKey(code, key) && !event->ctrlKey && !event->metaKey;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void* user)
{
    if (type == EMSCRIPTEN_EVENT_BLUR)
        Platform(user)->LoseFocus();
    else if (WebPageHasFocus() && !Platform(user)->IsFocused())
        Platform(user)->Queue(CWebPlatform::EEvent::FocusGained);
    Platform(user)->Wake();
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* user)
{
    if (event->hidden)
        Platform(user)->LoseFocus();
    else if (WebPageHasFocus() && !Platform(user)->IsFocused())
        Platform(user)->Queue(CWebPlatform::EEvent::FocusGained);
    Platform(user)->Wake();
    return EM_FALSE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* event, void* user)
{
    double place[4]{};
    WebCanvasPosition(place);
    // The browser gives the page pixel under the pointer; where the page scales the canvas, the
    // canvas pixel under that pixel's middle is the one pointed at.
    Platform(user)->SetMouse(static_cast<std::int32_t>(std::floor((event->clientX + 0.5 - place[0]) * place[2])),
                             static_cast<std::int32_t>(std::floor((event->clientY + 0.5 - place[1]) * place[3])));
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN || type == EMSCRIPTEN_EVENT_MOUSEUP)
        Platform(user)->SetMouseButton(event->button, type == EMSCRIPTEN_EVENT_MOUSEDOWN);
    Platform(user)->Queue(CWebPlatform::EEvent::MouseMoved);
    Platform(user)->Wake();
    return EM_FALSE;
}

// The fragment shaders of a game are desktop GLSL; WebGL knows no "#version 110". The line is
// blanked, so that the compiler's line numbers still match the file.
void GL_APIENTRY ShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths)
{
    std::string source;
    for (GLsizei i = 0; i < count; ++i)
        source.append(strings[i], lengths != nullptr && lengths[i] >= 0 ? static_cast<std::size_t>(lengths[i])
                                                                        : std::strlen(strings[i]));
    const std::size_t start = source.find_first_not_of(" \t\r\n");
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

std::uint32_t WebKeyToVirtualKey(std::string_view code)
{
    if (code.size() == 4 && code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z')
        return static_cast<std::uint32_t>(code[3]);
    if (code.size() == 6 && code.starts_with("Digit") && code[5] >= '0' && code[5] <= '9')
        return static_cast<std::uint32_t>(code[5]);
    if (code.size() == 7 && code.starts_with("Numpad") && code[6] >= '0' && code[6] <= '9')
        return 0x60u + static_cast<std::uint32_t>(code[6] - '0');
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F')
    {
        const std::string_view digits = code.substr(1);
        int number = 0;
        for (const char digit : digits)
            number = digit >= '0' && digit <= '9' ? number * 10 + (digit - '0') : 100;
        if (number >= 1 && number <= 12)
            return 0x70u + static_cast<std::uint32_t>(number - 1);
    }
    for (const auto& [name, virtualKey] : KeyCodes)
        if (name == code)
            return virtualKey;
    return 0;
}

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
    // One canvas pixel to one page pixel: the page never scales the picture.
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
    WebStartUp(title.c_str());

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnKey);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnFocus);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnFocus);
    emscripten_set_visibilitychange_callback(this, EM_TRUE, OnVisibility);
    emscripten_set_mousedown_callback("#canvas", this, EM_TRUE, OnMouse);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnMouse);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_TRUE, OnMouse);

    // A window that opens gets the focus; a page may not have it yet.
    if (WebPageHasFocus())
        Queue(EEvent::FocusGained);
    WebShowHint(!WebPageHasFocus());
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
    NextDue = TimerStart + (std::floor((now - TimerStart) / FramePeriod) + 1.0) * FramePeriod;
    WebFrameStarts();
    return true;
}

double CWebPlatform::MillisecondsToNextFrame() const
{
    if (!TimerArmed)
        return -1.0;
    const double left = NextDue - emscripten_get_now();
    return left > 0.0 ? left : 0.0;
}

void CWebPlatform::Queue(EEvent event, std::uint32_t code)
{
    if (PendingCount == Pending.size())
        return;
    Pending[(PendingFirst + PendingCount) % Pending.size()] = {event, code};
    ++PendingCount;
    if (event == EEvent::FocusGained)
    {
        Focused = true;
        WebShowHint(false);
    }
}

void CWebPlatform::SetWake(void (*wake)())
{
    WakeLoop = wake;
}

void CWebPlatform::Wake()
{
    if (WakeLoop != nullptr)
        WakeLoop();
}

void CWebPlatform::LoseFocus()
{
    if (!Focused)
        return;
    // A browser sends no key-up for a key held while the page lost the keyboard.
    for (std::uint32_t code = 0; code < Held.size(); ++code)
        if (Held[code])
        {
            Held[code] = false;
            Queue(EEvent::KeyUp, code);
        }
    MouseDown[0] = MouseDown[1] = false;
    Queue(EEvent::FocusLost);
    Focused = false;
    WebShowHint(true);
}

void CWebPlatform::SetMouse(std::int32_t x, std::int32_t y)
{
    MouseX = x;
    MouseY = y;
}

void CWebPlatform::SetMouseButton(std::int32_t button, bool down)
{
    if (button == 0 || button == 2)
        MouseDown[button / 2] = down;
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

void CWebPlatform::DeleteContexts()
{
    if (Context <= 0)
        return;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(Context);
    Context = 0;
}

void CWebPlatform::StopSound()
{
    WebStopSound();
}

void CWebPlatform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    WebPlaySound(image.data(), image.size());
}

bool CWebPlatform::CancelThreadIo(void*)
{
    return false; // the page's program has one thread
}

bool CWebPlatform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    x = MouseX;
    y = MouseY;
    return true;
}

void CWebPlatform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    width = Context > 0 ? Width : 0;
    height = Context > 0 ? Height : 0;
}

void CWebPlatform::HideCursor()
{
    WebHideCursor();
}

bool CWebPlatform::IsMouseButtonDown(bool right)
{
    return MouseDown[right ? 1 : 0];
}

bool CWebPlatform::IsKeyHeld(std::uint32_t code)
{
    return HeldKey(code);
}

bool CWebPlatform::HasFocus()
{
    return Focused;
}

std::unique_ptr<IBitmap> CWebPlatform::ReadBitmap(std::string_view name)
{
    std::vector<std::uint8_t> file;
    if (ReadDataFile(name, file, 0) != EFileRead::Ok)
        return nullptr;
    const std::optional<SBmpHeader> header = CheckBmpFile(file);
    if (!header)
        return nullptr;
    return ReadBmpFile(std::move(file), *header);
}

EFileRead CWebPlatform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                     std::size_t extraZeroBytes)
{
    return ReadWholeFile((DataFolder() / name).c_str(), bytes, extraZeroBytes);
}

void ShowFatalError(std::string_view text)
{
    WebStopSound();
    WebShowError(text.data(), text.size());
}

// Packaged with the page and mounted at the root of the program's files.
std::filesystem::path DataFolder()
{
    return "/Data";
}
