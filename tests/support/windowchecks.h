#pragma once
// What a window must give an operator on a given screen, checked on the real
// widgets: the offscreen platform with a screen of a set size (one per test
// process: ctest runs each test alone), every control inside an area, no text
// below a point size, and a picture of the window kept as a test artefact.
// Header only: the test programs that use it link Qt Widgets.

#include "support/offscreenscreen.h"
#include "support/qtapp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

namespace orvane::test {

// Starts the application on a width x height screen. False when it already
// runs on another one (several such tests in one process): the caller skips.
inline bool screenOfSize(int width, int height) {
    if (!QCoreApplication::instance())
        useOffscreenScreen(width, height);
    testApp();
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->size() == QSize(width, height);
}

inline std::string describe(const QWidget* w) {
    std::string text = w->metaObject()->className();
    if (!w->objectName().isEmpty())
        text += " " + w->objectName().toStdString();
    if (auto title = w->property("text"); title.isValid() && !title.toString().isEmpty())
        text += " \"" + title.toString().toStdString() + "\"";
    return text;
}

// The visible widgets of window whose text is smaller than `points`.
inline std::vector<std::string> fontsBelow(const QWidget* window, double points) {
    std::vector<std::string> small;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        const QFont f = w->font();
        const double shown = f.pointSizeF() > 0 ? f.pointSizeF() : QFontInfo(f).pointSizeF();
        if (shown < points - 0.01)
            small.push_back(describe(w) + " at " + std::to_string(shown) + " pt");
    }
    return small;
}

// The visible direct children of `holder` that do not lie wholly inside
// `area` (global coordinates).
inline std::vector<std::string> controlsOutside(const QWidget* holder, QRect area) {
    std::vector<std::string> outside;
    for (const QObject* o : holder->children()) {
        auto* w = qobject_cast<const QWidget*>(o);
        if (!w || w->isWindow() || !w->isVisibleTo(holder->window()))
            continue;
        const QRect shown(w->mapToGlobal(QPoint(0, 0)), w->size());
        if (!area.contains(shown))
            outside.push_back(describe(w) + " at " + std::to_string(shown.x()) + "," +
                              std::to_string(shown.y()) + " " + std::to_string(shown.width()) +
                              "x" + std::to_string(shown.height()));
    }
    return outside;
}

// The width of w that no visible sibling on its right covers.
inline int shownWidth(const QWidget* w) {
    int shown = w->width();
    const QWidget* parent = w->parentWidget();
    if (!parent)
        return shown;
    const QRect own = w->geometry();
    for (const QObject* o : parent->children()) {
        auto* s = qobject_cast<const QWidget*>(o);
        if (!s || s == w || s->isWindow() || !s->isVisibleTo(parent))
            continue;
        const QRect other = s->geometry();
        bool besideOnTheRight = other.left() > own.left() && other.left() <= own.right() &&
                                other.top() < own.bottom() && other.bottom() > own.top();
        // A group box or a frame holding w is no sibling in its way.
        if (besideOnTheRight && !other.contains(own))
            shown = std::min(shown, other.left() - own.left());
    }
    return shown;
}

// A control whose caption is wider than the room it gives it.
struct CutCaption {
    QRect place; // in the window
    std::string what;
};

// The visible buttons, check boxes and one-line labels of window whose
// caption is cut.
inline std::vector<CutCaption> captionsCut(const QWidget* window) {
    std::vector<CutCaption> cut;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        QString text;
        int room = shownWidth(w);
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
            text = b->text().remove(QLatin1Char('&'));
            bool check = qobject_cast<const QCheckBox*>(w);
            if (check || qobject_cast<const QRadioButton*>(w)) {
                // Where the style puts the text, beside the indicator.
                QStyleOptionButton option;
                option.initFrom(w);
                option.text = b->text();
                QRect contents = w->style()->subElementRect(check ? QStyle::SE_CheckBoxContents
                                                                  : QStyle::SE_RadioButtonContents,
                                                            &option, w);
                room -= contents.left();
            } else {
                room -= 4;
            }
        } else if (auto* l = qobject_cast<const QLabel*>(w);
                   l && !l->wordWrap() && l->textFormat() != Qt::RichText) {
            text = l->text();
        }
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = std::max(widest, w->fontMetrics().horizontalAdvance(line));
        if (widest > room)
            cut.push_back({QRect(w->mapTo(window, QPoint(0, 0)), w->size()),
                           describe(w) + " needs " + std::to_string(widest) + " px of " +
                               std::to_string(room)});
    }
    return cut;
}

// The window as it is drawn, kept as build/test-artefacts/screenshots/<name>.png.
inline bool keepScreenshot(QWidget* window, const std::string& name) {
    const QString folder = QStringLiteral(ORVANE_TEST_ARTEFACTS "/screenshots");
    QDir().mkpath(folder);
    return window->grab().save(folder + "/" + QString::fromStdString(name) + ".png");
}

} // namespace orvane::test
