#pragma once

#include "Host/Bitmap.h"
#include "Host/RequestClose.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// What a backend reports to the host. The host decides; the backend only tells what happened.
class IPlatformEvents
{
public:
    virtual void OnFocusGained() = 0;
    virtual void OnFocusLost() = 0;
    // Codes are Windows virtual-key codes on every backend.
    virtual void OnKeyDown(std::uint32_t code) = 0;
    virtual void OnKeyUp(std::uint32_t code) = 0;
    // The cursor moved over the window; true when the host hid it.
    virtual bool OnSetCursor() = 0;
    // The window is being destroyed: the host shuts down and asks for the quit message.
    virtual void OnDestroy() = 0;

protected:
    ~IPlatformEvents() = default;
};

// How reading a data file ended; the host turns each into its own message.
enum class EFileRead
{
    Ok,
    NotFound,   // it could not be opened, whatever the reason
    TooLarge,   // 4 GiB or more
    ReadFailed, // it opened, but reading it failed
};

// The operating-system operations the host needs, one backend per system. Each performs the
// operation and nothing more; order and rules live in the host.
class IPlatform
{
public:
    virtual ~IPlatform() = default;

    // Libraries, frame timer, window class, the centred fixed-size window, pixel format and two
    // contexts sharing their objects, the first left current. Throws with the backend's own messages.
    virtual void StartUp(IPlatformEvents& events, std::string_view caption, std::int32_t width,
                         std::int32_t height) = 0;
    // Address of an OpenGL entry point for the current context, or null.
    virtual void* GetGLProcAddress(const char* name) = 0;
    virtual bool SwapBuffers() = 0;

    // First expiry at once, then every 20 ms; arming again restarts the period.
    virtual void ArmFrameTimer() = 0;
    virtual void CancelFrameTimer() = 0;
    virtual void CloseFrameTimer() = 0;
    // Milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t GetTicks() = 0;

    // Blocks until the frame timer (only when waitTimer) or new window input is ready. True means
    // the timer, which wins when both are ready; missed periods leave one signal, never more. A
    // backend whose system calls the loop back instead (a web page) never blocks: it tells whether
    // a frame is due now.
    virtual bool WaitForFrameOrInput(bool waitTimer) = 0;
    // Delivers queued window messages to the event sink; false once the quit message is seen,
    // leaving everything behind it undelivered.
    virtual bool DispatchMessages() = 0;
    virtual void PostQuit() = 0;
    // Asks the main window to close as its close button would; the close arrives with the next
    // messages. Every backend has RequestWindowClose for this, and defining it here also has every
    // backend's own definition linked in wherever the backend is.
    virtual void RequestClose() { RequestWindowClose(); }

    // Multimedia scheduling of the loop thread, where the system offers it.
    virtual void BeginScheduling() = 0;
    virtual void EndScheduling() = 0;

    // Makes no context current and deletes both.
    virtual void DeleteContexts() = 0;
    virtual void StopSound() = 0;
    // False when the system cannot cancel another thread's blocking I/O.
    virtual bool CancelThreadIo(void* thread) = 0;

    // Cursor in client coordinates, unclamped. Writes both outputs; false when the conversion failed.
    virtual bool GetCursorClientPosition(std::int32_t& x, std::int32_t& y) = 0;
    virtual void GetClientSize(std::int32_t& width, std::int32_t& height) = 0;
    virtual void HideCursor() = 0;

    // Asynchronous input state, whichever window has the input.
    virtual bool IsMouseButtonDown(bool right) = 0;
    virtual bool IsKeyHeld(std::uint32_t code) = 0;
    // Whether the main window has the keyboard focus.
    virtual bool HasFocus() = 0;

    // The named file of the data folder beside the executable, read as a BMP picture; null when it
    // is missing or cannot be read as one. Headers are checked against the file before anything is
    // allocated from them. Pixels come as blue, green, red whatever the file's bit fields say;
    // depths other than 24 and 32, and bit fields that are not whole bytes, come back without pixel
    // rows (ReadBmpFile does all of this for a backend that reads the file itself).
    virtual std::unique_ptr<IBitmap> ReadBitmap(std::string_view name) = 0;

    // The named file of the data folder read whole. On Ok and ReadFailed, bytes holds the file's
    // size plus extraZeroBytes, zero wherever nothing was read; otherwise it is left as it was.
    virtual EFileRead ReadDataFile(std::string_view name, std::vector<std::uint8_t>& bytes,
                                   std::size_t extraZeroBytes) = 0;
    // Plays a complete WAV image in the background, cutting off the clip playing before; silent on
    // an image the player cannot play. The image stays valid and unchanged until StopSound or the
    // next call.
    virtual void PlaySoundImage(std::span<const std::uint8_t> image) = 0;

    // A line for the game's author, such as a shader compiler's log: standard error here, and the
    // debugger's output too where the system has one.
    virtual void WriteDiagnostic(std::string_view text)
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
    }
};
