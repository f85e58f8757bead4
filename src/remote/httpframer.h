#pragma once
// Finds where each HTTP request on a connection begins and ends, before the
// HTTP server parses it, so that a hostile peer is refused early: a header
// block larger than the limit (a 200 kB header), a body larger than the limit,
// a body of a framing we do not take (chunked), or a request that cannot be
// framed at all. It also spots a request that asks for an upgrade (a
// WebSocket), which leaves HTTP.
//
// It sees every byte of the connection once, in order, and keeps only the
// header block of the request being read. One connection per object; any
// thread, one at a time.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

struct HttpLimits {
    size_t headerBytes = 16 * 1024; // request line and headers, blank line included
    size_t bodyBytes = 4 * 1024;
};

class HttpRequestFramer {
public:
    enum class Verdict {
        Reading,         // nothing wrong so far
        Upgrade,         // a whole request that asks for an upgrade: see headerBlock()
        HeadersTooLarge, // the rest of the connection is not HTTP we take
        BodyTooLarge,
        BadRequest, // see reason()
    };

    explicit HttpRequestFramer(HttpLimits limits = {}) : m_limits(limits) {}

    // The next bytes of the connection. Once it said anything but Reading it
    // says the same again.
    Verdict feed(std::string_view bytes);

    // The header block of the upgrade request, blank line included.
    const std::string& headerBlock() const { return m_header; }
    // Why a request was refused, for the peer and the log.
    const std::string& reason() const { return m_reason; }
    // True while a request has begun but not ended (its headers or its body
    // are still coming).
    bool inRequest() const { return !m_header.empty() || m_bodyLeft > 0; }

private:
    Verdict headersDone();
    Verdict fail(Verdict verdict, std::string reason);

    HttpLimits m_limits;
    std::string m_header;
    size_t m_bodyLeft = 0;
    Verdict m_final = Verdict::Reading;
    std::string m_reason;
};

// The value of header name in a header block (the first one; names compare
// without case), without surrounding blanks; nothing when absent.
std::string_view headerValue(std::string_view block, std::string_view name);
// The target of a request line ("GET /ws?token=x HTTP/1.1" gives "/ws?token=x").
std::string_view requestTarget(std::string_view block);

} // namespace orvane
