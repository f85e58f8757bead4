#include "remote/devicetexts.h"

#include "show/textutil.h"

namespace orvane {

const std::string_view kKeepAliveText = "ALIVE               ";

namespace {

// Length of the UTF-8 sequence starting at s[i], 0 when it is not a valid one.
size_t sequenceLength(std::string_view s, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i);
    size_t n = 0;
    if (lead < 0x80)
        n = 1;
    else if (lead >= 0xC2 && lead < 0xE0)
        n = 2;
    else if (lead >= 0xE0 && lead < 0xF0)
        n = 3;
    else if (lead >= 0xF0 && lead < 0xF5)
        n = 4;
    if (n == 0 || i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

int deviceNumberOf(std::string_view address) {
    size_t dot = address.rfind('.');
    if (dot == std::string_view::npos)
        return kNoDeviceNumber;
    return leadingInt(address.substr(dot + 1));
}

bool containsText(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

std::optional<FileCommand> fileCommandOf(std::string_view text) {
    FileCommand c;
    if (containsText(text, "UCIM="))
        c.video = false;
    else if (containsText(text, "UCVI="))
        c.video = true;
    else
        return std::nullopt;
    if (text.size() > 5)
        c.code = text[5];
    std::string_view name = text.size() > 6 ? text.substr(6) : std::string_view();
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    c.name = std::string(name);
    return c;
}

std::string fileHeader(const FileCommand& command, uint32_t size) {
    return format(command.video ? "UCVI=%c%10.10u    " : "UCIM=%c%10.10u    ", command.code, size);
}

Answer answerOf(std::string_view text) {
    if (text.starts_with("OK:SLEEP:ENTERSLEEP"))
        return Answer::EnterSleep;
    if (text.starts_with("OK:SLEEP:WAKEUP"))
        return Answer::Wakeup;
    return Answer::Other;
}

std::string_view receivedText(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

std::string printableText(std::string_view text, size_t maxChars) {
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++chars) {
        if (chars == maxChars)
            return out + "...";
        size_t n = sequenceLength(text, i);
        auto lead = static_cast<unsigned char>(text[i]);
        if (n == 0 || (n == 1 && (lead < 0x20 || lead == 0x7F))) {
            out += '?';
            ++i;
            continue;
        }
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

} // namespace orvane
