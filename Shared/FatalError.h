#pragma once

#include <exception>
#include <string>

// The text of the fatal-error box for the exception being handled; call it only inside a catch block.
// A CVantorException shows its message unchanged; anything else shows "Fatal error: " and its description.
std::string FatalErrorText();

// Type name, then "@file(line)" when the error records a location, then ": message" when there is one.
std::string DescribeError(const std::exception& error);
