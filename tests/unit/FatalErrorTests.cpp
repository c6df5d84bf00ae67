#include "Shared/CGeneralError.h"
#include "Vantor/CVantorException.h"
#include "Shared/FatalError.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

TEST(FatalError, EngineErrorsShowTheirMessageOthersTheirTypeLocationAndMessage)
{
    const int line = __LINE__ + 10;
    const std::vector<std::pair<std::function<void()>, std::string>> rows{
        {[] { throw CVantorException("Image file not found: Back.bmp"); }, "Image file not found: Back.bmp"},
        // An empty message gives an empty box; it does not fall through to the next handler.
        {[] { throw CVantorException(""); }, ""},
        {[] { throw std::runtime_error("SetPixelFormat() failed"); },
         "Fatal error: std::runtime_error: SetPixelFormat() failed"},
        {[] { throw std::invalid_argument("stoi"); }, "Fatal error: std::invalid_argument: stoi"},
        // No message: no ": " either.
        {[] { throw std::runtime_error(""); }, "Fatal error: std::runtime_error"},
        {[] { throw VANTOR_GENERAL_ERROR("Unsupported bit depth"); },
         "Fatal error: CGeneralError@tests/unit/FatalErrorTests.cpp(" + std::to_string(line) +
             "): Unsupported bit depth"},
        {[] { throw CGeneralError("", "Host/X.cpp", 7); }, "Fatal error: CGeneralError@Host/X.cpp(7)"},
        {[] { throw 42; }, "Fatal error: int"}};
    for (const auto& [thrower, text] : rows)
        try
        {
            thrower();
            ADD_FAILURE() << "nothing thrown";
        }
        catch (...)
        {
            EXPECT_EQ(FatalErrorText(), text);
        }
}
