#pragma once
// Base of the page classes: one object per request. OnStartPage keeps the
// request's five objects, the route calls one page method, OnEndPage lets
// them go. Page classes override OnStartPage to load their settings.
#include "platform/Application.h"
#include "platform/Request.h"
#include "platform/Response.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
#include "platform/Session.h"

namespace platform {

class PageObject {
public:
    PageObject() = default;
    PageObject(const PageObject&) = delete;
    PageObject& operator=(const PageObject&) = delete;
    virtual ~PageObject() = default;

    virtual void OnStartPage(platform::ScriptingContext& context);
    virtual void OnEndPage();

    // The kept objects; error 91 outside OnStartPage..OnEndPage.
    platform::Request& Request() const;
    platform::Response& Response() const;
    platform::Server& Server() const;
    platform::Session& Session() const;
    platform::Application& Application() const;

private:
    platform::Request* request_ = nullptr;
    platform::Response* response_ = nullptr;
    platform::Server* server_ = nullptr;
    platform::Session* session_ = nullptr;
    platform::Application* application_ = nullptr;
};

}  // namespace platform
