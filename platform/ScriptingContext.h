#pragma once
// The five objects of one page request, handed to a page object's
// OnStartPage.
namespace platform {

class Request;
class Response;
class Server;
class Session;
class Application;

class ScriptingContext {
public:
    ScriptingContext(platform::Request& request, platform::Response& response,
                     platform::Server& server, platform::Session& session,
                     platform::Application& application)
        : request_(request), response_(response), server_(server), session_(session),
          application_(application) {}

    platform::Request& Request() const { return request_; }
    platform::Response& Response() const { return response_; }
    platform::Server& Server() const { return server_; }
    platform::Session& Session() const { return session_; }
    platform::Application& Application() const { return application_; }

private:
    platform::Request& request_;
    platform::Response& response_;
    platform::Server& server_;
    platform::Session& session_;
    platform::Application& application_;
};

}  // namespace platform
