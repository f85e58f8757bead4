#include "startup/commandoptions.h"

#include "orvane/version.h"
#include "show/language.h"

#include <array>

namespace orvane {

namespace {

struct QtOption {
    std::string_view name;
    bool takesValue;
};

// The options Qt's application objects take out of the command line themselves
// (with one dash or two). They pass through to Qt untouched.
constexpr std::array<QtOption, 18> kQtOptions = {{
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"title", true},
    {"name", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
}};

const QtOption* qtOption(std::string_view name) {
    for (const QtOption& o : kQtOptions)
        if (o.name == name)
            return &o;
    return nullptr;
}

class Parser {
public:
    Parser(const std::vector<std::string>& args, CommandOptions& out) : m_args(args), m_out(out) {}

    void run() {
        while (m_next < m_args.size() && m_out.action != CommandAction::Error) {
            const std::string& word = m_args[m_next++];
            if (word == "--") {
                rest();
                return;
            }
            if (word.find("SHOW=") != std::string::npos) {
                m_out.words.push_back(word);
                rest();
                return;
            }
            if (word.size() > 1 && word[0] == '-')
                option(word);
            else
                m_out.words.push_back(word);
        }
    }

private:
    void rest() {
        while (m_next < m_args.size())
            m_out.words.push_back(m_args[m_next++]);
    }

    void fail(std::string message) {
        m_out.action = CommandAction::Error;
        m_out.error = std::move(message);
    }

    // The option's value: after "=" in the same word, else the next word.
    std::optional<std::string> value(const std::string& word, size_t eq) {
        if (eq != std::string::npos)
            return word.substr(eq + 1);
        if (m_next < m_args.size())
            return m_args[m_next++];
        fail(fillIn(translate("Command line", "option '%1' needs a value"), {word}));
        return std::nullopt;
    }

    void setAction(CommandAction action) {
        // --help and --version win over a check; the first of them counts.
        if (m_out.action == CommandAction::Run || m_out.action == CommandAction::Check)
            m_out.action = action;
    }

    void option(const std::string& word) {
        bool twoDashes = word.size() > 2 && word[1] == '-';
        size_t eq = word.find('=');
        std::string name =
            word.substr(twoDashes ? 2 : 1, eq == std::string::npos ? eq : eq - (twoDashes ? 2 : 1));
        if (word == "-h" || (twoDashes && name == "help"))
            setAction(CommandAction::Help);
        else if (twoDashes && name == "version")
            setAction(CommandAction::Version);
        else if (twoDashes && (name == "root" || name == "port" || name == "check"))
            ownValue(name, word, eq);
        else if (const QtOption* qt = qtOption(name))
            passToQt(*qt, word, eq);
        else
            fail(fillIn(translate("Command line", "unknown option '%1'"), {word}));
    }

    void ownValue(const std::string& name, const std::string& word, size_t eq) {
        std::optional<std::string> v = value(word, eq);
        if (!v)
            return;
        if (v->empty()) {
            fail(fillIn(translate("Command line", "option '%1' needs a value"), {"--" + name}));
            return;
        }
        if (name == "root")
            m_out.root = *v;
        else if (name == "port")
            m_out.port = *v;
        else {
            m_out.checkShow = *v;
            if (m_out.action == CommandAction::Run)
                m_out.action = CommandAction::Check;
        }
    }

    void passToQt(const QtOption& qt, const std::string& word, size_t eq) {
        m_out.words.push_back(word);
        if (qt.takesValue && eq == std::string::npos) {
            if (m_next >= m_args.size()) {
                fail(fillIn(translate("Command line", "option '%1' needs a value"), {word}));
                return;
            }
            m_out.words.push_back(m_args[m_next++]);
        }
    }

    const std::vector<std::string>& m_args;
    CommandOptions& m_out;
    size_t m_next = 0;
};

} // namespace

CommandOptions parseCommandOptions(const std::vector<std::string>& args) {
    CommandOptions out;
    Parser(args, out).run();
    // A check looks at one show and starts nothing: other words mean a mistake.
    if (out.action == CommandAction::Check && !out.words.empty())
        out = CommandOptions{
            CommandAction::Error,
            {},
            {},
            {},
            {},
            fillIn(translate("Command line", "'--check' takes one show name; unexpected '%1'"),
                   {out.words.front()})};
    return out;
}

const char* orvaneVersion() {
    return kOrvaneVersion;
}

std::string versionText() {
    return std::string("orvane ") + orvaneVersion() + "\n";
}

std::string helpText() {
    return translate("Command line",
                     "Usage: orvane [OPTION]... [STEP=n] [SHOW=name]\n"
                     "A light-show controller: cross-fades one DMX512 universe from step to step.\n"
                     "\n"
                     "  STEP=n           start on step n (0-499)\n"
                     "  SHOW=name        start on this show without the chooser; DMX output\n"
                     "                   starts 5 s later (the name runs to the end of the line)\n"
                     "      --root DIR   the folder of the shows (instead of ORVANE_ROOT)\n"
                     "      --port DEVICE\n"
                     "                   the serial device of the USB-DMX interface\n"
                     "                   (instead of ORVANE_DMX_PORT)\n"
                     "      --check SHOW check a show before it goes on stage and exit:\n"
                     "                   one line per problem; status 0 clean, 1 problems,\n"
                     "                   2 no such show; needs no display\n"
                     "  -h, --help       show this help and exit\n"
                     "      --version    show the version and exit\n"
                     "\n"
                     "Qt's own options (-platform, -style, ...) are passed to Qt.\n"
                     "See orvane(1) for the show folders, the settings and the environment.\n");
}

std::string usageErrorText(std::string_view error) {
    return "orvane: " + std::string(error) + "\n" +
           translate("Command line", "Try 'orvane --help' for more information.") + "\n";
}

} // namespace orvane
