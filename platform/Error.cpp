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
        case kErrTypeMismatch: return "类型不匹配";
        case kErrInvalidUseOfNull: return "无效使用 Null";
        default: return "应用程序定义的错误或对象定义的错误";
    }
}

void raise(long number) { throw RuntimeError(number, standardDescription(number)); }

void raise(long number, const std::string& description, const std::string& source) {
    throw RuntimeError(number, description, source);
}

}  // namespace platform
