#pragma once
// Run-time errors of the board: number, description and source, as every
// page method's error tail writes them.
#include <stdexcept>
#include <string>

namespace platform {

// Fixed source texts, one per library.
inline constexpr const char* kBoardSource = "Orvane";
inline constexpr const char* kMarkupSource = "OrvaneMarkup";

// Error numbers the runtime raises.
enum ErrorNumber : long {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrSubscriptOutOfRange = 9,
    kErrTypeMismatch = 13,
    kErrInvalidUseOfNull = 94,
    kErrDatabase = 3000,  // SQLite failures
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, std::string description, std::string source = kBoardSource);
    long number() const { return number_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }
    // "错误号：" + number + "<br>错误描述：" + description + "<br>错误来源：" + source,
    // as HTML: description and source HTML-encoded.
    std::string tailText() const;

private:
    long number_;
    std::string description_;
    std::string source_;
};

// Raise with the runtime's standard description for the number.
[[noreturn]] void raise(long number);
[[noreturn]] void raise(long number, const std::string& description,
                        const std::string& source = kBoardSource);
std::string standardDescription(long number);

}  // namespace platform
