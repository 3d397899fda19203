#pragma once
// Creatable classes by name: a library registers a factory under a class
// identifier and a ProgID when it is loaded; other libraries create objects
// by either name without linking against the class.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Common base of every object the registry creates.
class CreatableObject {
public:
    virtual ~CreatableObject() = default;
};

using ClassFactory = std::function<std::unique_ptr<CreatableObject>()>;

// Both names are compared without regard to letter case. Registering a name
// again replaces its factory.
void RegisterClass(std::string_view classId, std::string_view progId, ClassFactory factory);

// Creates an object by class identifier or ProgID; error 429 when neither
// is registered.
std::unique_ptr<CreatableObject> CreateObject(std::string_view classIdOrProgId);

// Creates an object and checks its type; error 13 when it is of another class.
template <class T>
std::unique_ptr<T> CreateObjectAs(std::string_view classIdOrProgId);

// Registers a class while a library loads: one static instance per class.
struct ClassRegistrar {
    ClassRegistrar(std::string_view classId, std::string_view progId, ClassFactory factory) {
        RegisterClass(classId, progId, std::move(factory));
    }
};

[[noreturn]] void raiseWrongClass();

template <class T>
std::unique_ptr<T> CreateObjectAs(std::string_view classIdOrProgId) {
    std::unique_ptr<CreatableObject> object = CreateObject(classIdOrProgId);
    T* typed = dynamic_cast<T*>(object.get());
    if (!typed) raiseWrongClass();
    object.release();
    return std::unique_ptr<T>(typed);
}

}  // namespace platform
