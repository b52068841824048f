#pragma once
// Failures travel as exceptions carrying a UTF-8 message. The default error display
// (installed by the application) shows Error's text in a box; Abort ends an operation
// silently, after whoever raised it has already told the user what went wrong.
#include <stdexcept>
#include <string>

namespace vexo {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

class Abort : public Error {
public:
    Abort() : Error("Operation abgebrochen") {}
};

} // namespace vexo
