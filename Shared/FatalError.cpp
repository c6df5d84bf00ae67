#include "Shared/FatalError.h"

#include "Shared/CGeneralError.h"
#include "Vantor/CVantorException.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace
{
std::string TypeName(const std::type_info* type)
{
    if (type == nullptr)
        return "unknown";
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type->name(), nullptr, nullptr, &status),
                                                     std::free);
    return status == 0 && demangled ? demangled.get() : type->name();
}
} // namespace

std::string DescribeError(const std::exception& error)
{
    std::string text = TypeName(&typeid(error));
    if (const auto* located = dynamic_cast<const CGeneralError*>(&error); located != nullptr && located->GetFile())
    {
        text.append("@").append(located->GetFile()).append("(");
        text.append(std::to_string(located->GetLine())).append(")");
    }
    if (const char* message = error.what(); message != nullptr && *message != '\0')
        text.append(": ").append(message);
    return text;
}

std::string FatalErrorText()
{
    try
    {
        throw;
    }
    catch (const CVantorException& error)
    {
        return error.what();
    }
    catch (const std::exception& error)
    {
        return "Fatal error: " + DescribeError(error);
    }
    catch (...)
    {
        // Not one of ours nor a standard error: its type is all there is to tell.
        return "Fatal error: " + TypeName(abi::__cxa_current_exception_type());
    }
}
