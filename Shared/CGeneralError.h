#pragma once

#include <stdexcept>
#include <string>

// An internal fault, raised where it happened: the file (relative to the source root) and line go with it.
class CGeneralError : public std::runtime_error
{
public:
    CGeneralError(const std::string& message, const char* file, int line)
        : std::runtime_error(message), File(file), Line(line)
    {
    }

    const char* GetFile() const noexcept { return File; }
    int GetLine() const noexcept { return Line; }

private:
    const char* File;
    int Line;
};

// The build maps the source root away from __FILE__, so the location reads like "Host/CApplication.cpp".
#define VANTOR_GENERAL_ERROR(message) CGeneralError((message), __FILE__, __LINE__)
