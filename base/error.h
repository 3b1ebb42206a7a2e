#pragma once
// The program's error with a message. std::runtime_error keeps its message in the library's
// older string implementation, which alone adds some 40 KiB to the 32-bit exe.

#include <exception>
#include <string>
#include <utility>

namespace bj {

class Error : public std::exception {
public:
    explicit Error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

}  // namespace bj
