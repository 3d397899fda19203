#pragma once
// Random text for new passwords and keys.
#include <string>

#include "platform/Variant.h"

namespace core {

// `n` random digits and letters from the system's secure random source.
std::string RandomString(const platform::Variant& n);

}  // namespace core
