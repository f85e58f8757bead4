#pragma once
// The look every window takes its colours from: the widgets' palette, a short
// style sheet, and the colours the painted views use (the console's ground,
// the timeline, the builder's cells, the flash that acknowledges a press).
// Two themes: "classic", the console's own bright colours (the default), and
// "stage", dark grounds and low-glare text for a dark room. What the light
// itself shows (colour swatches, the DMX monitor, the stage preview, colour
// pads, level meters) looks the same in both.
//
// The theme is chosen once at start-up (the setting "theme") and applied to
// the whole application, before any window exists. User-interface thread only.

#include <QColor>
#include <QPalette>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

struct ViewColours {
    QColor console; // the main window's ground
    QColor timelineGround;
    QColor timelineLine;
    QColor timelineNumber;
    QColor timelineCurrent;
    QColor timelineName;
    QColor timelineSound;
    QColor timelineFade;
    QColor timelineEmpty;
    QColor builderCell;
    QColor builderFrame;
    QColor builderText;
    QColor builderIconFace;
    QColor flash; // a progress bar acknowledging a press it did not act on
};

class Theme {
public:
    static const Theme& classic();
    static const Theme& stage();
    // "classic" or "stage" (any letter case, blanks around ignored); nothing
    // for any other name.
    static const Theme* byName(std::string_view name);

    const char* name() const { return m_name; }
    bool dark() const { return m_dark; }
    // The palette of every widget; classic keeps the platform's own.
    QPalette palette() const;
    const QString& styleSheet() const { return m_styleSheet; }
    const ViewColours& colours() const { return m_colours; }
    // A log line's colour as it reads on this theme's text ground: dark
    // colours are lightened on a dark ground, keeping their hue.
    QColor readable(QColor colour) const;

private:
    Theme(const char* name, bool dark, QString styleSheet, ViewColours colours);

    const char* m_name;
    bool m_dark;
    QString m_styleSheet;
    ViewColours m_colours;
};

// The theme in use (classic until applyTheme says otherwise).
const Theme& theme();
// Makes t the theme in use: the application's palette and style sheet, which
// every window created afterwards follows.
void applyTheme(const Theme& t);

// The setting "theme" at start-up: applies the named theme (classic when the
// setting is empty). Returns the operator's message when the name is unknown;
// classic is applied then.
std::optional<std::string> applyThemeSetting(std::string_view setting);

} // namespace orvane
