// Makes UbbCode creatable by class identifier and ProgID as soon as the
// library is loaded.
#include <memory>

#include "UbbCode/UbbCode.h"

namespace markup {
namespace {

const platform::ClassRegistrar registrar(kUbbCodeClassId, kUbbCodeProgId,
                                         [] { return std::make_unique<UbbCodeObject>(); });

}  // namespace
}  // namespace markup
