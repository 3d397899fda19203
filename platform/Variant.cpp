#include "platform/Variant.h"

#include <climits>

#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

namespace platform {

Variant::Variant(int v) : type_(Type::Long) { num_.i = v; }

Variant::Variant(long v) : Variant(static_cast<long long>(v)) {}

Variant::Variant(long long v) {
    if (v >= INT32_MIN && v <= INT32_MAX) {
        type_ = Type::Long;
        num_.i = static_cast<std::int32_t>(v);
    } else {
        type_ = Type::Double;
        num_.d = static_cast<double>(v);
    }
}

Variant::Variant(VariantArray a)
    : type_(Type::Array), arr_(std::make_unique<VariantArray>(std::move(a))) {}

Variant Variant::null() {
    Variant v;
    v.type_ = Type::Null;
    return v;
}

Variant Variant::integer(std::int16_t x) {
    Variant v;
    v.type_ = Type::Integer;
    v.num_.i = x;
    return v;
}

Variant Variant::longValue(std::int32_t x) { return Variant(static_cast<int>(x)); }

Variant Variant::byte(std::uint8_t x) {
    Variant v;
    v.type_ = Type::Byte;
    v.num_.i = x;
    return v;
}

Variant::Variant(const Variant& o)
    : type_(o.type_), num_(o.num_), str_(o.str_),
      arr_(o.arr_ ? std::make_unique<VariantArray>(*o.arr_) : nullptr) {}

Variant& Variant::operator=(const Variant& o) {
    if (this != &o) {
        Variant copy(o);
        *this = std::move(copy);
    }
    return *this;
}

Variant::Variant(Variant&& o) noexcept
    : type_(o.type_), num_(o.num_), str_(std::move(o.str_)), arr_(std::move(o.arr_)) {
    o.type_ = Type::Empty;
    o.str_.clear();
}

Variant& Variant::operator=(Variant&& o) noexcept {
    if (this != &o) {
        type_ = o.type_;
        num_ = o.num_;
        str_ = std::move(o.str_);
        arr_ = std::move(o.arr_);
        o.type_ = Type::Empty;
        o.str_.clear();
    }
    return *this;
}

Variant::~Variant() = default;

bool Variant::isNumber() const {
    switch (type_) {
        case Type::Boolean:
        case Type::Integer:
        case Type::Long:
        case Type::Byte:
        case Type::Double:
            return true;
        default:
            return false;
    }
}

VariantArray& Variant::array() {
    if (type_ != Type::Array) raise(kErrTypeMismatch);
    return *arr_;
}

const VariantArray& Variant::array() const {
    if (type_ != Type::Array) raise(kErrTypeMismatch);
    return *arr_;
}

double Variant::toDouble() const { return CDbl(*this); }

std::string Variant::str() const {
    if (type_ == Type::Null || type_ == Type::Empty) return {};
    return CStr(*this);
}

namespace {

// Numbers and Empty take part in numeric comparison; Empty then counts as 0.
bool numericSide(const Variant& v) {
    return v.isNumber() || v.isDate() || v.isEmpty();
}

double numericValue(const Variant& v) {
    if (v.isEmpty()) return 0;
    if (v.isDate()) return v.rawDouble();
    return v.toDouble();
}

}  // namespace

bool operator==(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return false;
    if (a.isArray() || b.isArray()) raise(kErrTypeMismatch);
    if (a.isEmpty() && b.isEmpty()) return true;
    if (a.isString() && b.isString()) return a.rawString() == b.rawString();
    if (a.isEmpty() && b.isString()) return b.rawString().empty();
    if (b.isEmpty() && a.isString()) return a.rawString().empty();
    if (numericSide(a) && numericSide(b)) return numericValue(a) == numericValue(b);
    // A number against a text: equal only when the text reads as that number.
    const Variant& text = a.isString() ? a : b;
    const Variant& number = a.isString() ? b : a;
    if (!IsNumericText(text.rawString())) return false;
    return CDbl(text) == numericValue(number);
}

VariantArray::VariantArray(std::size_t size1, std::size_t size2, const Variant& fill)
    : size1_(size1), size2_(size2), cells_(size1 * size2, fill) {}

Variant& VariantArray::at(std::size_t i, std::size_t j) {
    if (i >= size1_ || j >= size2_) raise(kErrSubscriptOutOfRange);
    return cells_[j * size1_ + i];
}

const Variant& VariantArray::at(std::size_t i, std::size_t j) const {
    if (i >= size1_ || j >= size2_) raise(kErrSubscriptOutOfRange);
    return cells_[j * size1_ + i];
}

std::string operator+(const std::string& a, const Variant& b) { return a + b.str(); }
std::string operator+(const Variant& a, const std::string& b) { return a.str() + b; }

}  // namespace platform
