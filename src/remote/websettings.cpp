#include "remote/websettings.h"

#include "remote/webtoken.h"
#include "show/inifile.h"
#include "show/language.h"
#include "show/showfolders.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QUrl>

#include <charconv>

namespace orvane {

namespace {

std::string trimmed(std::string text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string tokenSetting(ProfileFiles& profiles, WebSettings& settings) {
    std::string token = trimmed(setting(profiles, "webtoken", ""));
    if (!token.empty()) {
        if (token.size() < kWebShortToken)
            settings.problems.push_back(fillIn(
                translate("WebRemote", "webtoken is shorter than %1 characters: someone who can "
                                       "reach the web remote may guess it"),
                {std::to_string(kWebShortToken)}));
        return token;
    }
    token = makeWebToken();
    settings.tokenMade = true;
    if (!profiles.writeString(userProfilePath(), "settings", "webtoken", token))
        settings.problems.push_back(fillIn(
            translate("WebRemote", "the new webtoken could not be stored in %1: it holds for this "
                                   "run only, and the address changes at the next start"),
            {userProfilePath()}));
    return token;
}

} // namespace

uint16_t parsePort(std::string_view text) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        return 0;
    return uint16_t(value);
}

WebSettings readWebSettings(ProfileFiles& profiles) {
    WebSettings settings;
    std::string port = trimmed(setting(profiles, "webport", ""));
    if (port.empty())
        return settings;
    settings.port = parsePort(port);
    if (settings.port == 0) {
        settings.problems.push_back(fillIn(
            translate("WebRemote",
                      "webport \"%1\" is not a port number (1-65535): the web remote is off"),
            {port}));
        return settings;
    }
    std::string bind = trimmed(setting(profiles, "webbind", ""));
    if (!bind.empty()) {
        if (QHostAddress(QString::fromStdString(bind)).isNull()) {
            settings.problems.push_back(fillIn(
                translate("WebRemote", "webbind \"%1\" is not an IPv4 or IPv6 address: the web "
                                       "remote is off"),
                {bind}));
            return settings;
        }
        settings.bindAddress = bind;
    }
    settings.token = tokenSetting(profiles, settings);
    settings.enabled = true;
    return settings;
}

std::string webWhere(const std::string& bindAddress, uint16_t port) {
    bool v6 = bindAddress.find(':') != std::string::npos;
    return (v6 ? "[" + bindAddress + "]" : bindAddress) + ":" + std::to_string(port);
}

std::string webRemoteUrl(const std::string& bindAddress, uint16_t port, const std::string& token) {
    QHostAddress address(QString::fromStdString(bindAddress));
    QUrl url;
    url.setScheme("http");
    if (address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6 ||
        address == QHostAddress::Any)
        url.setHost(QHostInfo::localHostName());
    else
        url.setHost(address.isNull() ? QString::fromStdString(bindAddress) : address.toString());
    url.setPort(port);
    url.setPath("/");
    if (!token.empty())
        url.setQuery("token=" +
                     QString::fromUtf8(QUrl::toPercentEncoding(QString::fromStdString(token))));
    return url.toString(QUrl::FullyEncoded).toStdString();
}

} // namespace orvane
