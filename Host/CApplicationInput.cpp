// Keyboard and mouse: the key messages and the queries.
#include "Host/CApplication.h"

#include "Host/KeyTable.h"

void CApplication::OnKeyDown(std::uint32_t code)
{
    Key key{};
    if (!QuitRequested && TranslateKey(code, key))
        Controller->KeyDown(key);
    // Flagged after the event, and for every code, known or not.
    if (code <= 255)
        KeyPressed[code] = true;
}

void CApplication::OnKeyUp(std::uint32_t code)
{
    Key key{};
    if (!QuitRequested && TranslateKey(code, key))
        Controller->KeyUp(key);
}

bool CApplication::IsKeyPressed(Key key)
{
    const std::uint32_t code = KeyToVirtualKey(key);
    return code <= 255 && KeyPressed[code];
}

bool CApplication::IsKeyDown(Key key)
{
    // Without focus the key is not even validated.
    if (!Platform->HasFocus())
        return false;
    const std::uint32_t code = KeyToVirtualKey(key);
    if (Platform->IsKeyHeld(code))
        return true;
    // Pressed and already released since the last frame still counts for this frame.
    return code <= 255 && KeyPressed[code];
}

bool CApplication::IsMouseDown(bool right)
{
    return right ? MouseRightDown : MouseLeftDown;
}

bool CApplication::IsMousePressed(bool right)
{
    return right ? MouseRightDown && !MouseRightWasDown : MouseLeftDown && !MouseLeftWasDown;
}

bool CApplication::IsMouseReleased(bool right)
{
    return right ? !MouseRightDown && MouseRightWasDown : !MouseLeftDown && MouseLeftWasDown;
}

bool CApplication::GetMousePosition(std::int32_t& x, std::int32_t& y)
{
    x = 0;
    y = 0;
    return Platform->GetCursorClientPosition(x, y);
}
