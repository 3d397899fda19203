#pragma once
// How much one request may ask of the host, and the check of a received
// request against it. A request over a limit gets a 4xx answer at once,
// before any page runs.
#include <chrono>
#include <cstddef>

#include "platform/Request.h"

namespace site {

struct RequestLimits {
    // Request line and header lines together, and the number of header lines.
    std::size_t headBytes = 32 * 1024;
    std::size_t headerLines = 100;
    // Query and form fields together (the control panel's forms post
    // hundreds), and one field's "name=value" as sent.
    std::size_t fields = 4000;
    std::size_t fieldBytes = 1024 * 1024;
    // A page's body unless the page has a limit of its own (an upload, the
    // posting forms: platform::BodyLimit).
    std::size_t bodyBytes = 256 * 1024;
    // The bodies of all requests being read or served at once, counted at
    // the length each announces (a chunked one at its page's limit): bodies
    // are held whole in memory until their page has run. A body beyond it
    // is answered 503 at once.
    std::size_t bodyBytesInFlight = 64 * 1024 * 1024;

    // Total time for a request head (from its first byte) and for its body;
    // an idle keep-alive connection is closed after `keepAliveIdle`.
    std::chrono::seconds headTime{10};
    std::chrono::seconds bodyTime{30};
    std::chrono::seconds keepAliveIdle{5};
    // Open connections from one client address; behind a trusted proxy,
    // whose connections are not counted, a client's requests in progress
    // through it (beyond them: 429).
    std::size_t connectionsPerAddress = 64;
};

// 0 when the request keeps within the limits, else the status to refuse it
// with: 431 for the head, 414 for the query string, 413 for the body or the
// form. Linear in the request's size.
int LimitStatus(const platform::RawRequest& raw, const RequestLimits& limits, std::size_t bodyLimit);

}  // namespace site
