#pragma once
// Variant: the dynamically typed value that request fields, record-set
// fields, session and application values carry, with the comparison and
// concatenation rules the board's pages rely on.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class VariantArray;

// A local date-time as a serial number: whole days since 1899-12-30 plus the
// time of day as a fraction. See platform/DateTime.h for conversions.
struct DateTime {
    double serial = 0;
    friend bool operator==(DateTime a, DateTime b) { return a.serial == b.serial; }
    friend auto operator<=>(DateTime a, DateTime b) { return a.serial <=> b.serial; }
};

class Variant {
public:
    enum class Type : std::uint8_t { Empty, Null, Boolean, Integer, Long, Byte, Double, Date, String, Array };

    Variant() = default;                       // Empty
    Variant(bool b) : type_(Type::Boolean) { num_.b = b; }
    Variant(int v);                            // Long (32-bit)
    Variant(long v);                           // Long when it fits, else Double
    Variant(long long v);                      // Long when it fits, else Double
    Variant(double v) : type_(Type::Double) { num_.d = v; }
    Variant(DateTime d) : type_(Type::Date) { num_.d = d.serial; }
    Variant(const char* s) : type_(Type::String), str_(s ? s : "") {}
    Variant(std::string s) : type_(Type::String), str_(std::move(s)) {}
    Variant(std::string_view s) : type_(Type::String), str_(s) {}
    Variant(VariantArray a);

    static Variant null();
    static Variant integer(std::int16_t v);    // 16-bit Integer
    static Variant longValue(std::int32_t v);  // 32-bit Long
    static Variant byte(std::uint8_t v);

    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    // A moved-from Variant is Empty (never an Array without its cells).
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    Type type() const { return type_; }
    bool isEmpty() const { return type_ == Type::Empty; }
    bool isNull() const { return type_ == Type::Null; }
    bool isString() const { return type_ == Type::String; }
    bool isArray() const { return type_ == Type::Array; }
    bool isDate() const { return type_ == Type::Date; }
    // Boolean, Integer, Long, Byte or Double.
    bool isNumber() const;

    // Raw access for a value already known to be of that type.
    const std::string& rawString() const { return str_; }
    bool rawBool() const { return num_.b; }
    std::int32_t rawInt() const { return num_.i; }  // Integer, Long, Byte
    double rawDouble() const { return num_.d; }     // Double, Date
    DateTime rawDate() const { return DateTime{num_.d}; }
    VariantArray& array();                           // error 13 unless Array
    const VariantArray& array() const;

    // The number the value stands for (Empty is 0, True is -1); error 13 for
    // text that is not numeric, error 94 for Null.
    double toDouble() const;
    // Text as concatenation makes it: Null and Empty give "".
    std::string str() const;

    // Equality as the board's pages compare: Empty equals "" and 0, numbers
    // compare by value, texts exactly, Null equals nothing.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    Type type_ = Type::Empty;
    union {
        bool b;
        std::int32_t i;
        double d;
    } num_{};
    std::string str_;
    std::unique_ptr<VariantArray> arr_;
};

// A two-dimensional array of Variants, both indexes counted from 0, with
// value semantics (copying a Variant copies its array).
class VariantArray {
public:
    VariantArray() = default;
    VariantArray(std::size_t size1, std::size_t size2, const Variant& fill = Variant());
    std::size_t size1() const { return size1_; }
    std::size_t size2() const { return size2_; }
    // Error 9 (subscript out of range) outside the bounds.
    Variant& at(std::size_t i, std::size_t j);
    const Variant& at(std::size_t i, std::size_t j) const;

private:
    std::size_t size1_ = 0, size2_ = 0;
    std::vector<Variant> cells_;
};

// Concatenation: Null and Empty give "".
std::string operator+(const std::string& a, const Variant& b);
std::string operator+(const Variant& a, const std::string& b);

}  // namespace platform
