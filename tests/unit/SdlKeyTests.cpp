#include "Host/KeyTable.h"
#include "Sdl/SdlKeys.h"

#include <gtest/gtest.h>

// Every engine key has an SDL key that arrives as it, and the held-key query asks SDL for that key.
TEST(SdlKeyTable, EveryKeyRoundTripsThroughItsSdlKey)
{
    for (std::int32_t value = 0; value < KeyCount; ++value)
    {
        const std::uint32_t code = KeyToVirtualKey(static_cast<Key>(value));
        EXPECT_EQ(SdlKeyToVirtualKey(VirtualKeyToSdlKey(code)), code) << value;
    }
    EXPECT_EQ(SdlKeyToVirtualKey('{'), 0u); // beyond the letters
}
