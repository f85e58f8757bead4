#include "remote/httpframer.h"

#include "show/language.h"
#include "show/textutil.h"

#include <charconv>

namespace orvane {

namespace {

std::string_view trimmedView(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The end of the header block in text (just after its blank line), or npos.
size_t blockEnd(std::string_view text) {
    for (size_t i = text.find('\n'); i != std::string_view::npos; i = text.find('\n', i + 1)) {
        if (i + 1 < text.size() && text[i + 1] == '\n')
            return i + 2;
        if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n')
            return i + 3;
    }
    return std::string_view::npos;
}

} // namespace

std::string_view headerValue(std::string_view block, std::string_view name) {
    size_t line = block.find('\n'); // past the request line
    while (line != std::string_view::npos && line + 1 < block.size()) {
        size_t start = line + 1;
        line = block.find('\n', start);
        std::string_view text = block.substr(
            start, line == std::string_view::npos ? std::string_view::npos : line - start);
        size_t colon = text.find(':');
        if (colon != std::string_view::npos &&
            equalsIgnoreCase(trimmedView(text.substr(0, colon)), name))
            return trimmedView(text.substr(colon + 1));
    }
    return {};
}

std::string_view requestTarget(std::string_view block) {
    std::string_view line = block.substr(0, block.find('\n'));
    size_t first = line.find(' ');
    if (first == std::string_view::npos)
        return {};
    size_t second = line.find(' ', first + 1);
    if (second == std::string_view::npos)
        return {};
    return line.substr(first + 1, second - first - 1);
}

HttpRequestFramer::Verdict HttpRequestFramer::fail(Verdict verdict, std::string reason) {
    m_final = verdict;
    m_reason = std::move(reason);
    return verdict;
}

HttpRequestFramer::Verdict HttpRequestFramer::feed(std::string_view bytes) {
    while (m_final == Verdict::Reading && !bytes.empty()) {
        if (m_bodyLeft > 0) {
            size_t skip = std::min(m_bodyLeft, bytes.size());
            m_bodyLeft -= skip;
            bytes.remove_prefix(skip);
            continue;
        }
        // Blank lines between requests are allowed.
        if (m_header.empty())
            while (!bytes.empty() && (bytes.front() == '\r' || bytes.front() == '\n'))
                bytes.remove_prefix(1);
        if (bytes.empty())
            break;
        // Look again from a little before the new bytes: the blank line may
        // straddle two reads.
        size_t from = m_header.size() < 3 ? 0 : m_header.size() - 3;
        size_t room = m_limits.headerBytes - m_header.size();
        size_t take = std::min(room, bytes.size());
        m_header.append(bytes.substr(0, take));
        size_t end = blockEnd(std::string_view(m_header).substr(from));
        if (end == std::string_view::npos) {
            if (take < bytes.size() || m_header.size() >= m_limits.headerBytes)
                return fail(Verdict::HeadersTooLarge,
                            fillIn(translate("WebRemote", "request headers over %1 bytes"),
                                   {std::to_string(m_limits.headerBytes)}));
            break;
        }
        end += from;
        // What follows the blank line belongs to the body or the next request.
        size_t extra = m_header.size() - end;
        bytes.remove_prefix(take - extra);
        m_header.resize(end);
        Verdict verdict = headersDone();
        if (verdict != Verdict::Reading)
            return verdict;
    }
    return m_final;
}

HttpRequestFramer::Verdict HttpRequestFramer::headersDone() {
    std::string_view block = m_header;
    if (requestTarget(block).empty())
        return fail(Verdict::BadRequest, translate("WebRemote", "a request line that is not HTTP"));
    if (!headerValue(block, "Upgrade").empty()) {
        m_final = Verdict::Upgrade;
        return m_final;
    }
    if (!headerValue(block, "Transfer-Encoding").empty())
        return fail(
            Verdict::BadRequest,
            translate("WebRemote", "a body in pieces (Transfer-Encoding); send its length"));
    std::string_view length = headerValue(block, "Content-Length");
    size_t bytes = 0;
    if (!length.empty()) {
        auto [end, error] = std::from_chars(length.data(), length.data() + length.size(), bytes);
        if (error == std::errc::result_out_of_range)
            bytes = m_limits.bodyBytes + 1;
        else if (error != std::errc() || end != length.data() + length.size())
            return fail(Verdict::BadRequest,
                        translate("WebRemote", "a Content-Length that is not a number"));
    }
    if (bytes > m_limits.bodyBytes)
        return fail(Verdict::BodyTooLarge, fillIn(translate("WebRemote", "a body over %1 bytes"),
                                                  {std::to_string(m_limits.bodyBytes)}));
    m_bodyLeft = bytes;
    m_header.clear();
    return Verdict::Reading;
}

} // namespace orvane
