#pragma once

#include <cstdint>

// The virtual-key code of an SDL key, 0 for keys without one, and the other way (SDLK_UNKNOWN).
std::uint32_t SdlKeyToVirtualKey(std::int32_t sdlKey);
std::int32_t VirtualKeyToSdlKey(std::uint32_t code);
