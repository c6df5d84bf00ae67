#include "Shared/CGeneralError.h"
#include "Shared/CVantorException.h"
#include "Shared/FatalError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
template <typename TThrow> std::string BoxTextFor(TThrow&& thrower)
{
    try
    {
        thrower();
    }
    catch (...)
    {
        return FatalErrorText();
    }
    return "nothing thrown";
}
} // namespace

TEST(FatalError, EngineErrorsShowTheirMessageUnchanged)
{
    EXPECT_EQ(BoxTextFor([] { throw CVantorException("Image file not found: Background.bmp"); }),
              "Image file not found: Background.bmp");
    // An empty message gives an empty box; it does not fall through to the second handler.
    EXPECT_EQ(BoxTextFor([] { throw CVantorException(""); }), "");
}

TEST(FatalError, GeneralErrorsShowTypeLocationAndMessage)
{
    const int line = __LINE__ + 1;
    const std::string text = BoxTextFor([] { throw VANTOR_GENERAL_ERROR("Unsupported bit depth"); });
    EXPECT_EQ(text, "Fatal error: CGeneralError@tests/unit/FatalErrorTests.cpp(" + std::to_string(line) +
                        "): Unsupported bit depth");
}

TEST(FatalError, OtherErrorsShowTypeAndMessageWithoutLocation)
{
    EXPECT_EQ(BoxTextFor([] { throw std::runtime_error("SetPixelFormat() failed"); }),
              "Fatal error: std::runtime_error: SetPixelFormat() failed");
    EXPECT_EQ(BoxTextFor([] { throw std::invalid_argument("stoi"); }), "Fatal error: std::invalid_argument: stoi");
    // No message: no ": " either.
    EXPECT_EQ(BoxTextFor([] { throw std::runtime_error(""); }), "Fatal error: std::runtime_error");
    EXPECT_EQ(BoxTextFor([] { throw CGeneralError("", "Host/X.cpp", 7); }), "Fatal error: CGeneralError@Host/X.cpp(7)");
}

TEST(FatalError, ThingsThatAreNotErrorsStillGetABox)
{
    EXPECT_EQ(BoxTextFor([] { throw 42; }), "Fatal error: int");
}
