#include "Sdl/CSdlPlatform.h"

#include "Host/DataFolder.h"
#include "Posix/ReadWholeFile.h"
#include "Sdl/FrameTimer.h"
#include "Sdl/SdlKeys.h"
#include "Vantor/CVantorException.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_syswm.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>

// ---- Window and context ----

namespace
{
[[noreturn]] void ThrowSdlFailure(const std::string& what)
{
    throw CVantorException(what + " failed: " + SDL_GetError());
}
} // namespace

CSdlPlatform::~CSdlPlatform()
{
    if (FrameTimer >= 0)
        close(FrameTimer);
    if (X11Library != nullptr)
        SDL_UnloadObject(X11Library);
}

void CSdlPlatform::StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                           std::int32_t height)
{
    Events = &events;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        ThrowSdlFailure("SDL_Init(SDL_INIT_VIDEO)");

    FrameTimer = CreateFrameTimer();

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    const std::string title(caption);
    Window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED_DISPLAY(0), SDL_WINDOWPOS_CENTERED_DISPLAY(0),
                              width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (Window == nullptr)
        ThrowSdlFailure("SDL_CreateWindow()");

    GLContext = SDL_GL_CreateContext(Window);
    if (GLContext == nullptr)
        ThrowSdlFailure("SDL_GL_CreateContext()");
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SharedGLContext = SDL_GL_CreateContext(Window);
    if (SharedGLContext == nullptr)
        ThrowSdlFailure("SDL_GL_CreateContext() (1)");
    SDL_GL_MakeCurrent(Window, GLContext);
    // The frame timer paces the loop; waiting for the display's refresh would fight it.
    SDL_GL_SetSwapInterval(0);

    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(Window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11)
    {
        DisplayFd = ConnectionNumber(info.info.x11.display);
        X11Display = info.info.x11.display;
        X11Window = info.info.x11.window;
        // From the library SDL has loaded already, so that the program does not depend on it.
        X11Library = SDL_LoadObject("libX11.so.6");
        QueryPointer = X11Library != nullptr ? SDL_LoadFunction(X11Library, "XQueryPointer") : nullptr;
    }
}

void* CSdlPlatform::GetGLProcAddress(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

bool CSdlPlatform::SwapBuffers()
{
    if (Window == nullptr)
        return false;
    SDL_GL_SwapWindow(Window);
    return true;
}

void CSdlPlatform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    width = 0;
    height = 0;
    if (Window != nullptr)
        SDL_GetWindowSize(Window, &width, &height);
}

void CSdlPlatform::DeleteContexts()
{
    SDL_GL_MakeCurrent(Window, nullptr);
    SDL_GL_DeleteContext(GLContext);
    SDL_GL_DeleteContext(SharedGLContext);
    GLContext = nullptr;
    SharedGLContext = nullptr;
}

void CSdlPlatform::DestroyWindow()
{
    if (Window == nullptr)
        return;
    Events->OnDestroy();
    SDL_DestroyWindow(Window);
    Window = nullptr;
}

// ---- Loop and frame timer ----

void CSdlPlatform::ArmFrameTimer()
{
    ArmPeriodicFrameTimer(FrameTimer);
}

void CSdlPlatform::CancelFrameTimer()
{
    DisarmFrameTimer(FrameTimer);
}

void CSdlPlatform::CloseFrameTimer()
{
    if (FrameTimer >= 0)
        close(FrameTimer);
    FrameTimer = -1;
}

std::uint32_t CSdlPlatform::GetTicks()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u);
}

bool CSdlPlatform::WaitForFrameOrInput(bool waitTimer)
{
    // Straight after a dispatch that emptied the queue, a due timer or new input both show in the poll:
    // looking first would only repeat the dispatch's last pump, the loop's costliest step when idle.
    for (bool drained = std::exchange(EventsDrained, false);; drained = false)
    {
        if (!drained)
        {
            if (waitTimer && TakeFrameTimerExpiries(FrameTimer))
                return true;
            SDL_PumpEvents();
            if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
                return false;
        }

        std::array<pollfd, 2> fds{};
        nfds_t count = 0;
        if (waitTimer)
            fds[count++] = {FrameTimer, POLLIN, 0};
        if (DisplayFd >= 0)
            fds[count++] = {DisplayFd, POLLIN, 0};
        // Without a display connection to wait on, look for events again every few milliseconds.
        poll(fds.data(), count, DisplayFd >= 0 ? -1 : 5);
    }
}

bool CSdlPlatform::DispatchMessages()
{
    SDL_Event event;
    while (!QuitPosted && SDL_PollEvent(&event) != 0)
    {
        switch (event.type)
        {
        case SDL_QUIT:
            DestroyWindow();
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event)
            {
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                Events->OnFocusGained();
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                Events->OnFocusLost();
                break;
            case SDL_WINDOWEVENT_ENTER:
                Events->OnSetCursor();
                break;
            case SDL_WINDOWEVENT_CLOSE:
                DestroyWindow();
                break;
            default:
                break;
            }
            break;
        case SDL_MOUSEMOTION:
            Events->OnSetCursor();
            break;
        case SDL_KEYDOWN:
            // System key repeats arrive here too and count as presses.
            if (const std::uint32_t code = SdlKeyToVirtualKey(event.key.keysym.sym); code != 0)
                Events->OnKeyDown(code);
            break;
        case SDL_KEYUP:
            if (const std::uint32_t code = SdlKeyToVirtualKey(event.key.keysym.sym); code != 0)
                Events->OnKeyUp(code);
            break;
        default:
            break;
        }
    }
    // The last poll found the queue empty, having pumped everything the display had sent.
    EventsDrained = !QuitPosted;
    return !QuitPosted;
}

void CSdlPlatform::PostQuit()
{
    QuitPosted = true;
}

void CSdlPlatform::BeginScheduling() {}

void CSdlPlatform::EndScheduling() {}

bool CSdlPlatform::CancelThreadIo(void*)
{
    return false; // no way to cancel another thread's blocking call here
}

// ---- Input ----

bool CSdlPlatform::IsKeyHeld(std::uint32_t code)
{
    const SDL_Keycode key = VirtualKeyToSdlKey(code);
    if (key == SDLK_UNKNOWN)
        return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    const SDL_Scancode scancode = SDL_GetScancodeFromKey(key);
    return scancode > SDL_SCANCODE_UNKNOWN && scancode < count && state[scancode] != 0;
}

bool CSdlPlatform::HasFocus()
{
    return Window != nullptr && SDL_GetKeyboardFocus() == Window;
}

bool CSdlPlatform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    // Over the window, its own position, which the motion events keep current. SDL refreshes its
    // global one only from raw device motion, which a pointer moved by software may never make, so
    // elsewhere the display server is asked where it is, where there is one to ask.
    if (Window != nullptr && SDL_GetMouseFocus() == Window)
    {
        SDL_GetMouseState(&x, &y);
        return true;
    }
    int screenX = 0;
    int screenY = 0;
    if (Window == nullptr || !QueryX11Pointer(screenX, screenY))
        SDL_GetGlobalMouseState(&screenX, &screenY);
    x = screenX;
    y = screenY;
    if (Window == nullptr)
        return false;
    int windowX = 0;
    int windowY = 0;
    SDL_GetWindowPosition(Window, &windowX, &windowY);
    x = screenX - windowX;
    y = screenY - windowY;
    return true;
}

bool CSdlPlatform::QueryX11Pointer(int& screenX, int& screenY)
{
    using TQueryPointer = Bool (*)(Display*, ::Window, ::Window*, ::Window*, int*, int*, int*, int*, unsigned int*);
    if (QueryPointer == nullptr)
        return false;
    ::Window root = 0;
    ::Window child = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    // Off the window's screen it answers False, with the position still on the pointer's own.
    reinterpret_cast<TQueryPointer>(QueryPointer)(static_cast<Display*>(X11Display), X11Window, &root, &child,
                                                  &screenX, &screenY, &windowX, &windowY, &buttons);
    return true;
}

bool CSdlPlatform::IsMouseButtonDown(bool right)
{
    const Uint32 buttons = SDL_GetGlobalMouseState(nullptr, nullptr);
    return (buttons & (right ? SDL_BUTTON_RMASK : SDL_BUTTON_LMASK)) != 0;
}

void CSdlPlatform::HideCursor()
{
    SDL_ShowCursor(SDL_DISABLE);
}

// ---- Data files and pictures ----

std::filesystem::path DataFolder()
{
    char* base = SDL_GetBasePath();
    std::filesystem::path folder = std::filesystem::path(base != nullptr ? base : "./") / "Data";
    SDL_free(base);
    return folder;
}

std::string CSdlPlatform::GetDataPath(std::string_view name)
{
    if (Folder.empty())
        Folder = DataFolder().string() + "/";
    return Folder + std::string(name);
}

EFileRead CSdlPlatform::ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                     std::size_t extraZeroBytes)
{
    return ReadWholeFile(GetDataPath(name).c_str(), bytes, extraZeroBytes);
}

std::unique_ptr<IBitmap> CSdlPlatform::ReadBitmap(std::string_view name)
{
    return ReadBmpDataFile(GetDataPath(name).c_str());
}

// ---- Sound ----

void CSdlPlatform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    SoundPlayer.Play(image);
}

void CSdlPlatform::StopSound()
{
    SoundPlayer.Stop();
}

std::uint32_t CSdlPlatform::SoundBytesQueued()
{
    return SoundPlayer.QueuedBytes();
}

// ---- Errors ----

void ShowFatalError(std::string_view text)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
    const std::string message(text);
    // Without the video subsystem SDL would look for other box programs first, and fail on bare X.
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", message.c_str(), nullptr);
}
