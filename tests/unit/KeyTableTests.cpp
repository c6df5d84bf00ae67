#include "Host/KeyTable.h"

#include "Shared/CGeneralError.h"

#include <gtest/gtest.h>

TEST(KeyTable, EveryKeyRoundTripsThroughItsQueryCodeFiftyFourCodesAreKnownAndOtherKeysAreInvalid)
{
    for (std::int32_t value = 0; value < KeyCount; ++value)
    {
        Key back{};
        ASSERT_TRUE(TranslateKey(KeyToVirtualKey(static_cast<Key>(value)), back)) << value;
        EXPECT_EQ(static_cast<std::int32_t>(back), value);
    }
    for (const auto& [key, code] : std::vector<std::pair<Key, std::uint32_t>>{
             {Key::A, 0x41}, {Key::Z, 0x5A}, {Key::Digit9, 0x39}, {Key::RightAlt, 0xA5}, {Key::Up, 0x26}})
        EXPECT_EQ(KeyToVirtualKey(key), code);
    int known = 0;
    for (std::uint32_t code = 0; code < 0x10000; ++code)
    {
        Key key = Key::Z;
        if (TranslateKey(code, key))
            ++known;
        else
            EXPECT_EQ(static_cast<int>(key), 0) << code; // the others give key zero
    }
    EXPECT_EQ(known, 54);
    // Values above fifty as unsigned: an internal fault, raised in the table.
    for (const std::int32_t value : {51, 255, -1, -2147483647 - 1})
        try
        {
            KeyToVirtualKey(static_cast<Key>(value));
            ADD_FAILURE() << value;
        }
        catch (const CGeneralError& error)
        {
            EXPECT_STREQ(error.what(), "Invalid key");
            EXPECT_STREQ(error.GetFile(), "Host/KeyTable.cpp");
        }
}
