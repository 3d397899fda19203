#include "board/browse/Converter.h"

#include "platform/ClassRegistry.h"

namespace board {

std::unique_ptr<markup::UbbCode> NewUbbCode() {
    return platform::CreateObjectAs<markup::UbbCode>(markup::kUbbCodeClassId);
}

}  // namespace board
