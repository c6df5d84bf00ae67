#pragma once

#include "Vantor/Key.h"

#include <cstdint>

// Key-message code (Windows virtual key) to Key; the generic shift, control and alt codes give the left keys.
// False, with key set to 0, for codes the engine does not know.
bool TranslateKey(std::uint32_t code, Key& key);

// The side-specific virtual-key code that the queries use. Throws "Invalid key" above 50 (as unsigned).
std::uint32_t KeyToVirtualKey(Key key);
