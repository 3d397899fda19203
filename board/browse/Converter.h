#pragma once
// The markup converter as the browsing pages use it: a new object through
// the class registry for every text rendered, released right after.
#include <memory>

#include "UbbCode/UbbCode.h"

namespace board {

std::unique_ptr<markup::UbbCode> NewUbbCode();

}  // namespace board
