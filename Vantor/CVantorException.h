#pragma once

#include <exception>
#include <string>
#include <string_view>

// The engine's error for failures that a user or a game author causes. It carries its UTF-8 message only.
class CVantorException : public std::exception
{
public:
    explicit CVantorException(std::string_view message) : Message(message) {}
    // The usual form: a fixed text followed by the name the caller passed.
    CVantorException(std::string_view message, std::string_view name) : Message(message) { Message.append(name); }

    const char* what() const noexcept override { return Message.c_str(); }

private:
    std::string Message;
};
