#include "Host/KeyTable.h"

#include "Shared/CGeneralError.h"

#include <array>
#include <utility>

namespace
{
// Query codes by Key value.
constexpr std::array<std::uint32_t, KeyCount> VirtualKeys = [] {
    std::array<std::uint32_t, KeyCount> codes{0x25, 0x27, 0x26, 0x28, 0x0D, 0x20, 0x1B, 0x08,
                                              0x09, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    for (std::uint32_t letter = 0; letter < 26; ++letter)
        codes[static_cast<std::size_t>(Key::A) + letter] = 'A' + letter;
    for (std::uint32_t digit = 0; digit < 10; ++digit)
        codes[static_cast<std::size_t>(Key::Digit0) + digit] = '0' + digit;
    return codes;
}();

// The message codes beyond the query codes: the generic modifiers.
constexpr std::array<std::pair<std::uint32_t, Key>, 3> GenericModifiers{
    {{0x10, Key::LeftShift}, {0x11, Key::LeftControl}, {0x12, Key::LeftAlt}}};
} // namespace

bool TranslateKey(std::uint32_t code, Key& key)
{
    for (const auto& [generic, left] : GenericModifiers)
        if (code == generic)
        {
            key = left;
            return true;
        }
    for (std::size_t value = 0; value < VirtualKeys.size(); ++value)
        if (VirtualKeys[value] == code)
        {
            key = static_cast<Key>(value);
            return true;
        }
    key = static_cast<Key>(0);
    return false;
}

std::uint32_t KeyToVirtualKey(Key key)
{
    const auto value = static_cast<std::uint32_t>(key);
    if (value >= VirtualKeys.size())
        throw VANTOR_GENERAL_ERROR("Invalid key");
    return VirtualKeys[value];
}
