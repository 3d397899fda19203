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

// The HTTP status of a page that a run-time error ends.
inline constexpr int kBoardFault = 500;    // a fault of the board itself
inline constexpr int kUnavailable = 503;   // the database cannot serve now: full, locked, read-only

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(long number, std::string description, std::string source = kBoardSource,
                 int httpStatus = kBoardFault);
    long number() const { return number_; }
    int httpStatus() const { return httpStatus_; }
    const std::string& description() const { return description_; }
    const std::string& source() const { return source_; }
    // "错误号：" + number + "<br>错误描述：" + description + "<br>错误来源：" + source,
    // as HTML: description and source HTML-encoded.
    std::string tailText() const;

private:
    long number_;
    std::string description_;
    std::string source_;
    int httpStatus_;
};

// Raise with the runtime's standard description for the number.
[[noreturn]] void raise(long number);
[[noreturn]] void raise(long number, const std::string& description,
                        const std::string& source = kBoardSource);
std::string standardDescription(long number);

}  // namespace platform
