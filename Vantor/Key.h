#pragma once

#include <cstdint>

// The keys a game can ask about. Values are stable: tables elsewhere are indexed by them.
enum class Key : std::int32_t
{
    Left, Right, Up, Down, Enter, Space, Escape, Backspace, Tab,
    LeftShift, RightShift, LeftControl, RightControl, LeftAlt, RightAlt,
    A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
    Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
};

inline constexpr std::int32_t KeyCount = 51;
