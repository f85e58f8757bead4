#include "windows/theme.h"

#include "show/language.h"

#include <QApplication>

#include <algorithm>
#include <cctype>

namespace orvane {

namespace {

// The console's own colours, as it has always looked.
ViewColours classicColours() {
    ViewColours c;
    c.console = QColor(0, 196, 255);
    c.timelineGround = QColor(192, 255, 255);
    c.timelineLine = QColor(0, 0, 0);
    c.timelineNumber = QColor(128, 128, 128);
    c.timelineCurrent = QColor(255, 0, 0);
    c.timelineName = QColor(0, 0, 128);
    c.timelineSound = QColor(64, 64, 64);
    c.timelineFade = QColor(0, 128, 0);
    c.timelineEmpty = QColor(128, 150, 150);
    c.builderCell = QColor(192, 192, 192);
    c.builderFrame = QColor(0, 0, 0);
    c.builderText = QColor(0, 0, 0);
    c.builderIconFace = QColor(236, 236, 236);
    c.flash = QColor(255, 170, 0);
    return c;
}

// Dark grounds, soft text; marks that must be found at a glance (the current
// step, the flash) stay warm and clear, but nothing glares.
ViewColours stageColours() {
    ViewColours c;
    c.console = QColor(20, 25, 31);
    c.timelineGround = QColor(16, 19, 23);
    c.timelineLine = QColor(44, 49, 56);
    c.timelineNumber = QColor(110, 114, 122);
    c.timelineCurrent = QColor(224, 80, 64);
    c.timelineName = QColor(160, 184, 214);
    c.timelineSound = QColor(150, 150, 158);
    c.timelineFade = QColor(104, 176, 112);
    c.timelineEmpty = QColor(80, 88, 92);
    c.builderCell = QColor(42, 43, 49);
    c.builderFrame = QColor(80, 82, 92);
    c.builderText = QColor(196, 196, 204);
    c.builderIconFace = QColor(58, 59, 66);
    c.flash = QColor(242, 193, 78);
    return c;
}

// untranslated-begin: a style sheet
constexpr const char* kStageStyle =
    "QToolTip { color: #c4c4cc; background-color: #22232a; border: 1px solid #3a3b42; }";
// untranslated-end

QPalette stagePalette() {
    QPalette p;
    auto set = [&p](QPalette::ColorRole role, QColor normal, QColor disabled) {
        p.setColor(QPalette::Active, role, normal);
        p.setColor(QPalette::Inactive, role, normal);
        p.setColor(QPalette::Disabled, role, disabled);
    };
    const QColor text(196, 196, 204), dimText(92, 92, 100);
    set(QPalette::Window, QColor(23, 24, 28), QColor(23, 24, 28));
    set(QPalette::WindowText, QColor(180, 180, 188), dimText);
    set(QPalette::Base, QColor(15, 16, 19), QColor(20, 21, 24));
    set(QPalette::AlternateBase, QColor(27, 28, 33), QColor(27, 28, 33));
    set(QPalette::Text, text, dimText);
    set(QPalette::Button, QColor(38, 39, 45), QColor(30, 31, 36));
    set(QPalette::ButtonText, text, dimText);
    set(QPalette::BrightText, QColor(255, 217, 217), dimText);
    set(QPalette::Light, QColor(58, 59, 66), QColor(40, 41, 46));
    set(QPalette::Midlight, QColor(47, 48, 54), QColor(36, 37, 42));
    set(QPalette::Mid, QColor(31, 32, 37), QColor(28, 29, 33));
    set(QPalette::Dark, QColor(16, 17, 20), QColor(16, 17, 20));
    set(QPalette::Shadow, QColor(0, 0, 0), QColor(0, 0, 0));
    set(QPalette::Highlight, QColor(122, 95, 18), QColor(52, 52, 58));
    set(QPalette::HighlightedText, QColor(240, 240, 240), dimText);
    set(QPalette::ToolTipBase, QColor(34, 35, 42), QColor(34, 35, 42));
    set(QPalette::ToolTipText, text, dimText);
    set(QPalette::Link, QColor(143, 179, 217), dimText);
    set(QPalette::PlaceholderText, QColor(106, 106, 114), dimText);
    return p;
}

// The platform's palette as it was before any theme touched it.
const QPalette& platformPalette() {
    static const QPalette p = QApplication::palette();
    return p;
}

const Theme* g_current = nullptr;

std::string lowered(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

} // namespace

Theme::Theme(const char* name, bool dark, QString styleSheet, ViewColours colours)
    : m_name(name), m_dark(dark), m_styleSheet(std::move(styleSheet)),
      m_colours(std::move(colours)) {}

const Theme& Theme::classic() {
    static const Theme t("classic", false, QString(), classicColours());
    return t;
}

const Theme& Theme::stage() {
    static const Theme t("stage", true, QString::fromLatin1(kStageStyle), stageColours());
    return t;
}

const Theme* Theme::byName(std::string_view name) {
    const std::string n = lowered(name);
    if (n == "classic")
        return &classic();
    if (n == "stage")
        return &stage();
    return nullptr;
}

QPalette Theme::palette() const {
    return m_dark ? stagePalette() : platformPalette();
}

QColor Theme::readable(QColor colour) const {
    constexpr int kLeast = 150; // the lightness that reads on the stage's dark text ground
    if (!m_dark || colour.lightness() >= kLeast)
        return colour;
    return QColor::fromHsl(colour.hslHue(), colour.hslSaturation(), kLeast);
}

const Theme& theme() {
    return g_current ? *g_current : Theme::classic();
}

void applyTheme(const Theme& t) {
    platformPalette(); // kept before the first change
    if (&t == &theme() && g_current)
        return;
    g_current = &t;
    QApplication::setPalette(t.palette());
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        app->setStyleSheet(t.styleSheet());
}

std::optional<std::string> applyThemeSetting(std::string_view setting) {
    if (lowered(setting).empty()) {
        applyTheme(Theme::classic());
        return std::nullopt;
    }
    if (const Theme* t = Theme::byName(setting)) {
        applyTheme(*t);
        return std::nullopt;
    }
    applyTheme(Theme::classic());
    return fillIn(
        translate("Settings",
                  "Unknown theme \"%1\" in the setting theme (classic or stage): classic is used"),
        {setting});
}

} // namespace orvane
