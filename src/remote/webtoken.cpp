#include "remote/webtoken.h"

#include "show/textutil.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <array>
#include <cstdint>

namespace orvane {

bool sameToken(std::string_view given, std::string_view expected) {
    if (expected.empty())
        return false;
    // Every byte of the expected token is looked at whatever the given one
    // holds; volatile keeps the compiler from ending the loop at the first
    // difference.
    volatile uint8_t difference = given.size() == expected.size() ? 0 : 1;
    for (size_t i = 0; i < expected.size(); ++i) {
        uint8_t g = i < given.size() ? uint8_t(given[i]) : 0;
        difference = difference | uint8_t(g ^ uint8_t(expected[i]));
    }
    return difference == 0;
}

std::string makeWebToken() {
    std::array<quint32, 6> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    QByteArray raw(reinterpret_cast<const char*>(words.data()), int(sizeof(words)));
    return raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)
        .toStdString();
}

std::string requestToken(std::string_view authorization, std::string_view queryToken) {
    constexpr std::string_view kBearer = "Bearer ";
    if (authorization.size() > kBearer.size() &&
        equalsIgnoreCase(authorization.substr(0, kBearer.size()), kBearer)) {
        std::string_view token = authorization.substr(kBearer.size());
        while (!token.empty() && token.front() == ' ')
            token.remove_prefix(1);
        while (!token.empty() && (token.back() == ' ' || token.back() == '\t'))
            token.remove_suffix(1);
        return std::string(token);
    }
    return std::string(queryToken);
}

} // namespace orvane
