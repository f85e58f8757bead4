#include "windows/extrahelp.h"

#include "show/language.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace orvane {

const std::array<const char*, kExtraHelpLineCount> kExtraHelpLines = {
    QT_TRANSLATE_NOOP("Extra help",
                      "SUPERSCAN1COLOR=OFF|ON turn on or off superscaner 1 color mode"),
    QT_TRANSLATE_NOOP("Extra help", "SUPERSCAN1=cmd send a command to superscaner1"),
    QT_TRANSLATE_NOOP(
        "Extra help",
        "LOAD={option1,}{option2,}<efe file> load and play efe file (path from orvane directory), "
        "option1 may be FADE otherwise always rudefade, option2 may be DWM don't write master "
        "fade"),
    QT_TRANSLATE_NOOP(
        "Extra help",
        "LOADLOOP={option1,}{option2,}<efe file> load and play loop efe file (path from orvane "
        "directory), option1 may be FADE otherwise always rudefade, option2 may be DWM don't write "
        "master fade"),
    QT_TRANSLATE_NOOP("Extra help", "SMOKE=OFF|ON turn on or off smoke machine"),
    QT_TRANSLATE_NOOP("Extra help", "SCREENUP=OFF|ON turn on or off screen up motor"),
    QT_TRANSLATE_NOOP("Extra help", "SCREENDOWN=OFF|ON turn on or off screen down motor"),
    QT_TRANSLATE_NOOP("Extra help", "BSLIGHT=OFF|ON turn on or off back stage light"),
    QT_TRANSLATE_NOOP("Extra help", "MISCn=OFF|ON turn on or off misc 1 to 4"),
    QT_TRANSLATE_NOOP("Extra help", "SHUTTER=OFF|ON turn on or off video projector shutter"),
    QT_TRANSLATE_NOOP("Extra help", "SOUNDACTIVE=slider number1{,slider number2{,...}} active "
                                    "slider regarding playng sound level"),
    QT_TRANSLATE_NOOP("Extra help", "CHAIN=show name,step number"),
    QT_TRANSLATE_NOOP(
        "Extra help",
        "REPLAYDMX=<bin file> play recorded raw dmx file (path from orvane directory)"),
    QT_TRANSLATE_NOOP("Extra help", "RANDOM=slider number1{,slider number2{,...}},min=min,max=max "
                                    "apply random values from min to "
                                    "max to selected sliders"),
    QT_TRANSLATE_NOOP("Extra help",
                      "MATRIX=<bitmap file (path from orvane directory)>,<movex>,<movey>"),
    QT_TRANSLATE_NOOP("Extra help", "VP=<ovvideoplayer cmd that can be play:<begining of the "
                                    "filename> or| stop:<begining of the "
                                    "filename>>"),
    QT_TRANSLATE_NOOP("Extra help", "EXEC=<command line to execute>"),
};

extrahelp::extrahelp(QWidget* parent) : QDialog(parent), m_list(new QListWidget(this)) {
    setWindowTitle(translateQ("Extra help", "Extra help"));
    setObjectName(QString::number(kDialogId));
    m_list->setObjectName(QStringLiteral("lines"));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setWordWrap(true);
    for (const char* line : kExtraHelpLines)
        m_list->addItem(translateQ("Extra help", line));
    m_list->setMinimumSize(720, 360);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

QStringList extrahelp::lines() const {
    QStringList out;
    for (int i = 0; i < m_list->count(); ++i)
        out << m_list->item(i)->text();
    return out;
}

} // namespace orvane
