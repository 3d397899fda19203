#include "platform/PageObject.h"

#include "platform/Error.h"

namespace platform {

namespace {

template <class T>
T& Kept(T* object) {
    if (!object) raise(kErrObjectNotSet, std::string(kObjectNotSetText) + "the page has not been started");
    return *object;
}

}  // namespace

void PageObject::OnStartPage(platform::ScriptingContext& context) {
    response_ = &context.Response();
    request_ = &context.Request();
    server_ = &context.Server();
    session_ = &context.Session();
    application_ = &context.Application();
}

void PageObject::OnEndPage() {
    response_ = nullptr;
    request_ = nullptr;
    server_ = nullptr;
    session_ = nullptr;
    application_ = nullptr;
}

platform::Request& PageObject::Request() const { return Kept(request_); }
platform::Response& PageObject::Response() const { return Kept(response_); }
platform::Server& PageObject::Server() const { return Kept(server_); }
platform::Session& PageObject::Session() const { return Kept(session_); }
platform::Application& PageObject::Application() const { return Kept(application_); }

}  // namespace platform
