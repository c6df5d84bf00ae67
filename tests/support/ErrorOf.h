#pragma once

#include <exception>
#include <functional>
#include <string>

// The message of the error that the call throws, or "no error".
inline std::string ErrorOf(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const std::exception& error)
    {
        return error.what();
    }
    return "no error";
}
