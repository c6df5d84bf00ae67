#include "Windows/CWin32Platform.h"

#include "Shared/CGeneralError.h"
#include "Vantor/CVantorException.h"
#include "Windows/FrameTimer.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace
{
constexpr const wchar_t* WindowClassName = L"VantorMainWindow";

// Fixed size: a caption with system menu and both boxes, but no sizing frame.
constexpr DWORD WindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
static_assert(WindowStyle == 0x80CB0000);
static_assert((WindowStyle | WS_VISIBLE) == 0x90CB0000);

// GetProcAddress hands back one generic type; going through void(*)() keeps the cast warning-free.
template <typename T> T ProcAs(FARPROC proc)
{
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(proc));
}
} // namespace

std::wstring Widen(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

// ---- Window and context ----

CWin32Platform::CWin32Platform(HINSTANCE instance) : Instance(instance) {}

CWin32Platform::~CWin32Platform()
{
    // The window outlives us while the error box is up; it must not reach a destroyed object.
    if (Window != nullptr && IsWindow(Window) &&
        GetWindowLongPtrW(Window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
}

void CWin32Platform::StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                             std::int32_t height)
{
    Events = &events;

    // Keep the current directory out of the library search before anything is loaded.
    SetDllDirectoryW(L"");

    Kernel32 = LoadLibraryW(L"Kernel32.dll");
    if (Kernel32 == nullptr)
        throw std::runtime_error("LoadLibrary(\"Kernel32.dll\") failed");
    CancelSynchronousIoProc = ProcAs<TCancelSynchronousIo>(GetProcAddress(Kernel32, "CancelSynchronousIo"));

    Avrt = LoadLibraryW(L"Avrt.dll");
    if (Avrt != nullptr)
    {
        AvSetMmThreadCharacteristicsProc =
            ProcAs<TAvSetMmThreadCharacteristics>(GetProcAddress(Avrt, "AvSetMmThreadCharacteristicsW"));
        if (AvSetMmThreadCharacteristicsProc == nullptr)
            throw CVantorException("Avrt.dll invalid: missing AvSetMmThreadCharacteristicsW()");
        AvRevertMmThreadCharacteristicsProc =
            ProcAs<TAvRevertMmThreadCharacteristics>(GetProcAddress(Avrt, "AvRevertMmThreadCharacteristics"));
        if (AvRevertMmThreadCharacteristicsProc == nullptr)
            throw CVantorException("Avrt.dll invalid: missing AvRevertMmThreadCharacteristics()");
    }

    FrameTimer = CreateFrameTimer();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = 8;
    controls.dwICC = 0;
    InitCommonControlsEx(&controls);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXW);
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = &CWin32Platform::WindowProc;
    windowClass.hInstance = Instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExW(&windowClass);

    RECT rect{};
    SetRect(&rect, 0, 0, width, height);
    AdjustWindowRect(&rect, WindowStyle, FALSE);
    const std::int32_t outerWidth = rect.right - rect.left;
    const std::int32_t outerHeight = rect.bottom - rect.top;
    const std::int32_t x = (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    // The adjusted bottom, not the outer height: the window sits as the engine always placed it.
    const std::int32_t y = (GetSystemMetrics(SM_CYSCREEN) - rect.bottom) / 2;

    const std::wstring title = Widen(caption);
    const HWND created = CreateWindowExW(WS_EX_APPWINDOW, WindowClassName, title.c_str(), WindowStyle | WS_VISIBLE, x,
                                         y, outerWidth, outerHeight, nullptr, nullptr, nullptr, this);
    RethrowPendingError();
    Window = created;

    PIXELFORMATDESCRIPTOR descriptor{};
    static_assert(sizeof descriptor == 40);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 24;
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    DeviceContext = GetDC(Window);
    const int format = ChoosePixelFormat(DeviceContext, &descriptor);
    if (format == 0)
        throw CVantorException("ChoosePixelFormat() failed");
    if (!SetPixelFormat(DeviceContext, format, &descriptor))
        throw std::runtime_error("SetPixelFormat() failed");

    GLContext = wglCreateContext(DeviceContext);
    if (GLContext == nullptr)
        throw std::runtime_error("wglCreateContext() failed");
    SharedGLContext = wglCreateContext(DeviceContext);
    if (SharedGLContext == nullptr)
        throw std::runtime_error("wglCreateContext() failed (1)");
    wglShareLists(GLContext, SharedGLContext);
    wglMakeCurrent(DeviceContext, GLContext);
}

LRESULT CALLBACK CWin32Platform::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWin32Platform* self =
        message == WM_CREATE
            ? static_cast<CWin32Platform*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams)
            : reinterpret_cast<CWin32Platform*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Before binding, after unbinding, and once an error waits for our caller, nothing is reported.
    if (self == nullptr || self->PendingError)
        return DefWindowProcW(window, message, wParam, lParam);
    // C++ exceptions must not unwind through the system's frames: keep the error for our caller.
    try
    {
        return self->HandleMessage(window, message, wParam, lParam);
    }
    catch (...)
    {
        self->PendingError = std::current_exception();
        return message == WM_CREATE ? -1 : 0; // -1 makes the window creation fail
    }
}

LRESULT CWin32Platform::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
        // The pointer-sized slot: a 32-bit store would cut the object's address in half on x64.
        SetLastError(0);
        if (SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) == 0 && GetLastError() != 0)
            throw VANTOR_GENERAL_ERROR("SetWindowLongPtr() failed");
        // Messages arrive before CreateWindowExW returns, and they may ask about the window.
        Window = window;
        return 0;
    case WM_DESTROY:
        Events->OnDestroy();
        return 0;
    case WM_SETFOCUS:
        Events->OnFocusGained();
        break;
    case WM_KILLFOCUS:
        Events->OnFocusLost();
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SETCURSOR:
        if (Events->OnSetCursor())
            return TRUE;
        break;
    case WM_KEYDOWN:
        Events->OnKeyDown(SideSpecificKey(wParam, lParam));
        return 0;
    case WM_KEYUP:
        Events->OnKeyUp(SideSpecificKey(wParam, lParam));
        return 0;
    // Keys while Alt is held, Alt itself and F10: the game hears them, and the system still acts on
    // them (Alt+F4, the window menu).
    case WM_SYSKEYDOWN:
        Events->OnKeyDown(SideSpecificKey(wParam, lParam));
        break;
    case WM_SYSKEYUP:
        Events->OnKeyUp(SideSpecificKey(wParam, lParam));
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void* CWin32Platform::GetGLProcAddress(const char* name)
{
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

bool CWin32Platform::SwapBuffers()
{
    return ::SwapBuffers(DeviceContext) != FALSE;
}

void CWin32Platform::DeleteContexts()
{
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(GLContext);
    wglDeleteContext(SharedGLContext);
    GLContext = nullptr;
    SharedGLContext = nullptr;
}

void CWin32Platform::GetClientSize(std::int32_t& width, std::int32_t& height)
{
    RECT rect{};
    GetClientRect(Window, &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

// ---- Loop and frame timer ----

void CWin32Platform::ArmFrameTimer()
{
    ArmPeriodicFrameTimer(FrameTimer);
}

void CWin32Platform::CancelFrameTimer()
{
    CancelWaitableTimer(FrameTimer);
}

void CWin32Platform::CloseFrameTimer()
{
    CloseHandle(FrameTimer);
    FrameTimer = nullptr;
}

std::uint32_t CWin32Platform::GetTicks()
{
    return GetTickCount();
}

bool CWin32Platform::WaitForFrameOrInput(bool waitTimer)
{
    // The timer is the lowest index, so it wins when both are ready.
    const DWORD result = MsgWaitForMultipleObjects(waitTimer ? 1 : 0, &FrameTimer, FALSE, INFINITE, QS_ALLINPUT);
    return waitTimer && result == WAIT_OBJECT_0;
}

bool CWin32Platform::DispatchMessages()
{
    MSG message{};
    for (;;)
    {
        const BOOL available = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
        // Peeking delivers messages sent from elsewhere, which can fail too.
        RethrowPendingError();
        if (!available)
            return true;
        if (message.message == WM_QUIT)
            return false;
        // No TranslateMessage: the engine wants no character messages.
        DispatchMessageW(&message);
        RethrowPendingError();
    }
}

void CWin32Platform::PostQuit()
{
    PostQuitMessage(0);
}

void CWin32Platform::BeginScheduling()
{
    if (Avrt == nullptr)
        return;
    TaskIndex = 0;
    SchedulingHandle = AvSetMmThreadCharacteristicsProc(L"Games", &TaskIndex);
}

void CWin32Platform::EndScheduling()
{
    if (Avrt != nullptr)
        AvRevertMmThreadCharacteristicsProc(SchedulingHandle);
}

// ---- Input ----

std::uint32_t CWin32Platform::SideSpecificKey(WPARAM key, LPARAM flags)
{
    // The system tells the right Control and Alt by the extended-key bit, and the two Shift keys
    // only by their scan codes.
    const bool extended = (flags & (LPARAM{1} << 24)) != 0;
    switch (key)
    {
    case VK_SHIFT:
    {
        const UINT scanCode = static_cast<UINT>(flags >> 16) & 0xFF;
        return MapVirtualKeyW(scanCode, MAPVK_VSC_TO_VK_EX) == VK_RSHIFT ? VK_RSHIFT : VK_LSHIFT;
    }
    case VK_CONTROL:
        return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU:
        return extended ? VK_RMENU : VK_LMENU;
    default:
        return static_cast<std::uint32_t>(key);
    }
}

bool CWin32Platform::GetCursorClientPosition(std::int32_t& x, std::int32_t& y)
{
    // A failed read leaves the screen origin, a failed conversion the screen position.
    POINT point{0, 0};
    GetCursorPos(&point);
    const BOOL converted = ScreenToClient(Window, &point);
    x = point.x;
    y = point.y;
    return converted != FALSE;
}

void CWin32Platform::HideCursor()
{
    SetCursor(nullptr);
}

bool CWin32Platform::IsMouseButtonDown(bool right)
{
    return (GetAsyncKeyState(right ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
}

bool CWin32Platform::IsKeyHeld(std::uint32_t code)
{
    // Widened with its sign; bit 0 only means "pressed since an earlier query".
    const std::int32_t state = GetAsyncKeyState(static_cast<int>(code));
    return (state & ~std::int32_t{1}) != 0;
}

bool CWin32Platform::HasFocus()
{
    return GetFocus() != nullptr;
}

// ---- Sound ----

void CWin32Platform::StopSound()
{
    PlaySoundW(nullptr, nullptr, 0);
}

void CWin32Platform::PlaySoundImage(std::span<const std::uint8_t> image)
{
    PlaySoundW(reinterpret_cast<LPCWSTR>(image.data()), nullptr, SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
}

// ---- Errors ----

void CWin32Platform::RethrowPendingError()
{
    if (PendingError)
        std::rethrow_exception(std::exchange(PendingError, nullptr));
}

void ShowFatalError(std::string_view text)
{
    // Where the program has a standard error (a console, a test harness), the text goes there too.
    if (const HANDLE error = GetStdHandle(STD_ERROR_HANDLE); error != nullptr && error != INVALID_HANDLE_VALUE)
    {
        DWORD written = 0;
        WriteFile(error, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        WriteFile(error, "\n", 1, &written, nullptr);
    }
    const std::wstring message = Widen(text);
    MessageBoxW(nullptr, message.c_str(), nullptr, MB_ICONERROR);
}

void CWin32Platform::WriteDiagnostic(std::string_view text)
{
    IPlatform::WriteDiagnostic(text);
    OutputDebugStringW(Widen(std::string(text) + "\n").c_str());
}
