#include "platform/ClassRegistry.h"

#include <mutex>
#include <unordered_map>

#include "platform/Error.h"
#include "platform/Strings.h"

namespace platform {

namespace {


struct Registry {
    std::mutex mutex;
    std::unordered_map<std::string, ClassFactory> byName;  // lower-case keys
};

// Built on first use: registrars of other libraries may run before this
// library's own static objects.
Registry& registry() {
    static Registry instance;
    return instance;
}

}  // namespace

void RegisterClass(std::string_view classId, std::string_view progId, ClassFactory factory) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.byName[LCase(classId)] = factory;
    r.byName[LCase(progId)] = std::move(factory);
}

std::unique_ptr<CreatableObject> CreateObject(std::string_view classIdOrProgId) {
    ClassFactory factory;
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        auto found = r.byName.find(LCase(classIdOrProgId));
        if (found != r.byName.end()) factory = found->second;
    }
    if (!factory) raise(kErrCannotCreateObject, kCannotCreateObjectText + std::string(classIdOrProgId));
    return factory();
}

void raiseWrongClass() { raise(kErrTypeMismatch); }

}  // namespace platform
