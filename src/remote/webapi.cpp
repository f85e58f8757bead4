#include "remote/webapi.h"

#include "show/language.h"
#include "show/textutil.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cmath>

namespace orvane {

namespace {

constexpr int kLastStep = 499;

// Enough digits for a bar or a fader, and short messages.
double rounded(double value) {
    return std::round(value * 10000) / 10000;
}

QJsonObject stateObject(const RemoteState& s) {
    QJsonObject o;
    o["step"] = s.step;
    o["caption"] = QString::fromStdString(s.caption);
    o["next"] = s.next;
    o["nextCaption"] = QString::fromStdString(s.nextCaption);
    o["fading"] = s.fading;
    o["fadeProgress"] = rounded(s.fadeProgress);
    o["master"] = rounded(s.master);
    o["volume1"] = rounded(s.volume1);
    o["volume2"] = rounded(s.volume2);
    o["output"] = QString::fromStdString(s.output);
    return o;
}

QByteArray compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

WebReply error(int status, std::string_view reason, QByteArray allow = {}) {
    return {status, "application/json", errorJson(reason), std::move(allow), std::string(reason)};
}

std::string stepReason(std::string_view text) {
    return fillIn(translate("WebRemote", "step \"%1\" is not a step number (0-%2)"),
                  {cutUtf8(text, 40), std::to_string(kLastStep)});
}

std::variant<RemoteCommand, std::string> stepCommand(std::optional<double> value) {
    if (!value || !std::isfinite(*value) || *value != std::floor(*value))
        return fillIn(translate("WebRemote", "\"value\" must be a whole step number (0-%1)"),
                      {std::to_string(kLastStep)});
    if (*value < 0 || *value > kLastStep)
        return fillIn(translate("WebRemote", "step %1 is out of range (0-%2)"),
                      {format("%.0f", *value), std::to_string(kLastStep)});
    return RemoteCommand{RemoteVerb::Step, int(*value), 0};
}

std::variant<RemoteCommand, std::string> levelCommand(RemoteVerb verb, int index,
                                                      std::optional<double> value) {
    if (!value || !std::isfinite(*value))
        return translate("WebRemote", "\"value\" must be a number from 0 to 1");
    if (*value < 0 || *value > 1)
        return fillIn(translate("WebRemote", "value %1 is out of range (0-1)"),
                      {format("%g", *value)});
    return RemoteCommand{verb, index, float(*value)};
}

// The "value" of a body {"value": x}: the number, or nothing when the body
// holds none.
std::optional<double> bodyValue(const QByteArray& body, bool* isJson) {
    QJsonParseError parseError{};
    QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    *isJson = parseError.error == QJsonParseError::NoError && doc.isObject();
    QJsonValue value = doc.object().value("value");
    if (!*isJson || !value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

} // namespace

QByteArray stateJson(const RemoteState& state, bool withType) {
    QJsonObject o = stateObject(state);
    if (withType)
        o["type"] = "state";
    return compact(o);
}

QByteArray errorJson(std::string_view reason, bool withType) {
    QJsonObject o;
    if (withType) {
        o["type"] = "error";
        o["reason"] = QString::fromUtf8(reason.data(), qsizetype(reason.size()));
    } else {
        o["error"] = QString::fromUtf8(reason.data(), qsizetype(reason.size()));
    }
    return compact(o);
}

std::variant<RemoteCommand, std::string> commandNamed(std::string_view name,
                                                      std::optional<double> value) {
    if (name == "go")
        return RemoteCommand{RemoteVerb::Go, 0, 0};
    if (name == "back")
        return RemoteCommand{RemoteVerb::Back, 0, 0};
    if (name == "stop")
        return RemoteCommand{RemoteVerb::Stop, 0, 0};
    if (name == "pause")
        return RemoteCommand{RemoteVerb::Pause, 0, 0};
    if (name == "step")
        return stepCommand(value);
    if (name == "master")
        return levelCommand(RemoteVerb::Master, 0, value);
    if (name == "volume1")
        return levelCommand(RemoteVerb::Volume, 1, value);
    if (name == "volume2")
        return levelCommand(RemoteVerb::Volume, 2, value);
    return fillIn(translate("WebRemote", "unknown command \"%1\""), {cutUtf8(name, 40)});
}

std::variant<RemoteCommand, StateRequest, std::string> parseLiveMessage(const QByteArray& text) {
    QJsonParseError parseError{};
    QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return translate("WebRemote", "a message must be a JSON object like {\"command\": \"go\"}");
    QJsonObject o = doc.object();
    if (!o.value("command").isString())
        return translate("WebRemote", "a message needs \"command\"");
    std::string name = o.value("command").toString().toStdString();
    if (name == "state")
        return StateRequest{};
    QJsonValue value = o.value("value");
    std::optional<double> number;
    if (value.isDouble())
        number = value.toDouble();
    auto parsed = commandNamed(name, number);
    if (const auto* reason = std::get_if<std::string>(&parsed))
        return *reason;
    return std::get<RemoteCommand>(parsed);
}

bool CommandRate::take(Nanoseconds now) {
    if (m_tokens < 0) {
        m_tokens = m_burst;
        m_last = now;
    }
    double seconds = std::chrono::duration<double>(now - m_last).count();
    m_last = now;
    if (seconds > 0)
        m_tokens = std::min<double>(m_burst, m_tokens + seconds * m_perSecond);
    if (m_tokens < 1)
        return false;
    m_tokens -= 1;
    return true;
}

WebReply WebApi::push(const RemoteCommand& command, Nanoseconds now) {
    if (!m_rate.take(now))
        return error(429,
                     translate("WebRemote", "too many commands at once: the command was dropped"));
    if (!m_ring.push(command))
        return error(503, translate("WebRemote", "the console is busy: the command was dropped"));
    return {200, "application/json", R"({"ok":true})", {}, {}};
}

WebReply WebApi::answer(std::string_view method, std::string_view path, const QByteArray& body,
                        Nanoseconds now) {
    bool get = method == "GET";
    if (path == "/" || path == "/index.html") {
        if (!get)
            return error(405, translate("WebRemote", "the page is read with GET"), "GET");
        return {200, "text/html; charset=utf-8", m_page, {}, {}};
    }
    if (path == "/api/state") {
        if (!get)
            return error(405, translate("WebRemote", "the state is read with GET"), "GET");
        return {200, "application/json", stateJson(m_board.latest()), {}, {}};
    }
    std::optional<std::string> name = commandName(path);
    if (!name)
        return error(404, translate("WebRemote", "no such path"));
    if (method != "POST")
        return error(405, translate("WebRemote", "commands are sent with POST"), "POST");
    std::variant<RemoteCommand, std::string> parsed = command(*name, body);
    if (const auto* reason = std::get_if<std::string>(&parsed))
        return error(400, *reason);
    return push(std::get<RemoteCommand>(parsed), now);
}

std::optional<std::string> WebApi::commandName(std::string_view path) {
    constexpr std::string_view kApi = "/api/";
    if (path.substr(0, kApi.size()) != kApi)
        return std::nullopt;
    std::string_view name = path.substr(kApi.size());
    if (name == "go" || name == "back" || name == "stop" || name == "pause" || name == "master")
        return std::string(name);
    if (name == "volume/1" || name == "volume/2")
        return "volume" + std::string(name.substr(7));
    if (name.substr(0, 5) == "step/" && name.size() > 5)
        return std::string(name);
    return std::nullopt;
}

std::variant<RemoteCommand, std::string> WebApi::command(const std::string& name,
                                                         const QByteArray& body) {
    if (name.rfind("step/", 0) == 0) {
        std::string_view digits = std::string_view(name).substr(5);
        int step = -1;
        auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), step);
        if (fault != std::errc() || end != digits.data() + digits.size() || step < 0 ||
            step > kLastStep)
            return stepReason(digits);
        return RemoteCommand{RemoteVerb::Step, step, 0};
    }
    if (name == "master" || name.rfind("volume", 0) == 0) {
        bool isJson = false;
        std::optional<double> value = bodyValue(body, &isJson);
        if (!isJson)
            return translate("WebRemote", "the body must be JSON like {\"value\": 0.5}");
        return commandNamed(name, value);
    }
    return commandNamed(name, std::nullopt);
}

} // namespace orvane
