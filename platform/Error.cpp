#include "platform/Error.h"

#include "platform/Charset.h"

namespace platform {

RuntimeError::RuntimeError(long number, std::string description, std::string source, int httpStatus)
    : std::runtime_error(description), number_(number),
      description_(std::move(description)), source_(std::move(source)), httpStatus_(httpStatus) {}

std::string RuntimeError::tailText() const {
    // Descriptions quote statements and values, which may hold request text.
    return "错误号：" + std::to_string(number_) + "<br>错误描述：" + HtmlEncode(description_) +
           "<br>错误来源：" + HtmlEncode(source_);
}

std::string standardDescription(long number) {
    switch (number) {
        case kErrInvalidCall: return "无效的过程调用或参数";
        case kErrOverflow: return "溢出";
        case kErrSubscriptOutOfRange: return "下标越界";
        case kErrDivisionByZero: return "除数为零";
        case kErrTypeMismatch: return "类型不匹配";
        case kErrInvalidUseOfNull: return "无效使用 Null";
        default: return "应用程序定义的错误或对象定义的错误";
    }
}

std::string FieldNotUpdatableText(const std::string& field) { return "The field " + field + " cannot be updated."; }

std::string SchemaStepOutOfOrderText(int step) {
    return "Schema step " + std::to_string(step) + " is out of order.";
}

std::string NewerSchemaText(int recorded, int known) {
    return "The database file has schema step " + std::to_string(recorded) + "; this program knows steps up to " +
           std::to_string(known) + ".";
}

std::string SettingsLineNotUtf8Text(int line) {
    return "settings line " + std::to_string(line) + " is not UTF-8 text";
}

std::string SettingsLineNotKeyValueText(int line) {
    return "settings line " + std::to_string(line) + " is not key = value";
}

std::string NoConversionText(const std::string& from, const std::string& to) {
    return "iconv cannot convert " + from + " to " + to;
}

void raise(long number) { throw RuntimeError(number, standardDescription(number)); }

void raise(long number, const std::string& description, const std::string& source) {
    throw RuntimeError(number, description, source);
}

}  // namespace platform
