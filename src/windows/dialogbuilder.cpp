#include "windows/dialogbuilder.h"

#include "windows/dialogscale.h"
#include "windows/theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

namespace orvane {

QColor toQColor(uint32_t colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string utf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// Buttons treat '&' as a mnemonic marker; captions are shown as they stand.
QString buttonText(std::string_view s) {
    return qs(s).replace('&', "&&");
}

// The model keeps the platform's CR LF line ends; Qt's text widgets use LF.
QString toWidgetText(std::string_view s) {
    return qs(s).remove('\r');
}

std::string toModelText(QString s) {
    return utf8(s.replace('\n', "\r\n"));
}

// Room-plan swatch: a cell filled with the model's colour.
class ColourCell : public QWidget {
public:
    using QWidget::QWidget;
    void setColour(const QColor& c) {
        m_colour = c;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), m_colour);
        p.setPen(QColor(64, 64, 64));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    QColor m_colour = Qt::black;
};

// Step colour button: a push button whose face is the colour it holds.
class ColourButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    void setColour(const QColor& c) {
        m_colour = c;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionButton opt;
        initStyleOption(&opt);
        style()->drawControl(QStyle::CE_PushButtonBevel, &opt, &p, this);
        QRect face = rect().adjusted(3, 3, -4, -4);
        p.fillRect(face, m_colour);
        p.setPen(QColor(64, 64, 64));
        p.drawRect(face);
    }

private:
    QColor m_colour = Qt::black;
};

// Owner-drawn area: black until the dialog gives it a painter.
class CustomArea : public QFrame {
public:
    explicit CustomArea(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    void setHook(PaintHook hook) {
        m_hook = std::move(hook);
        update();
    }
    void setTipHook(ToolTipHook hook) { m_tip = std::move(hook); }

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::ToolTip || !m_tip)
            return QFrame::event(e);
        auto* help = static_cast<QHelpEvent*>(e);
        const QRect client = designClient();
        std::string text = m_tip(client.topLeft() + designPoint(this, help->pos()), client);
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QString::fromStdString(text), this);
        return true;
    }

    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QRect inner = contentsRect();
        p.fillRect(inner, Qt::black);
        if (m_hook && !inner.isEmpty()) {
            // The hook paints in design units; the painter takes them to the
            // area's present size.
            const QRect client = designClient();
            p.save();
            p.setClipRect(inner);
            if (client.size() != inner.size()) {
                p.setRenderHint(QPainter::SmoothPixmapTransform);
                p.translate(inner.topLeft());
                p.scale(double(inner.width()) / client.width(),
                        double(inner.height()) / client.height());
                p.translate(-client.topLeft());
            }
            m_hook(p, client);
            p.restore();
        }
        drawFrame(&p);
    }

private:
    QRect designClient() const {
        QSize size = designClientSize(this);
        if (size.width() <= 0 || size.height() <= 0)
            return contentsRect();
        return QRect(contentsRect().topLeft(), size);
    }

    PaintHook m_hook;
    ToolTipHook m_tip;
};

// Up/down arrows of a spin control; the position lives in the model.
class SpinArrows : public QWidget {
public:
    explicit SpinArrows(QWidget* parent) : QWidget(parent) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        m_up = addArrow(layout, Qt::UpArrow);
        m_down = addArrow(layout, Qt::DownArrow);
    }
    QToolButton* up() const { return m_up; }
    QToolButton* down() const { return m_down; }

private:
    QToolButton* addArrow(QVBoxLayout* layout, Qt::ArrowType arrow) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
        return b;
    }
    QToolButton* m_up;
    QToolButton* m_down;
};

// Hot-key field: one key with its modifiers, taken as soon as it is pressed (the
// platform control does the same); Backspace or Delete alone clear it.
class HotKeyEdit : public QKeySequenceEdit {
public:
    using QKeySequenceEdit::QKeySequenceEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        e->accept();
        const int k = e->key();
        if (k == Qt::Key_unknown || k == Qt::Key_Shift || k == Qt::Key_Control ||
            k == Qt::Key_Alt || k == Qt::Key_Meta || k == Qt::Key_AltGr)
            return; // a modifier alone is not a hot key yet
        const Qt::KeyboardModifiers mods =
            e->modifiers() &
            (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const bool clear =
            mods == Qt::NoModifier && (k == Qt::Key_Backspace || k == Qt::Key_Delete);
        setKeySequence(clear ? QKeySequence() : QKeySequence(QKeyCombination(mods, Qt::Key(k))));
    }
    void keyReleaseEvent(QKeyEvent* e) override { e->accept(); }
};

QFont fontFor(const ControlDef& c, QFont base) {
    if (c.has(kHugeFont) || c.has(kLargeFont)) {
        base.setFamily("Arial");
        base.setPointSize(c.has(kHugeFont) ? 50 : 24);
    }
    return base;
}

QWidget* makeLabel(const ControlDef& c, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setText(qs(c.caption));
    Qt::Alignment align =
        c.has(kMultiline) ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter;
    l->setAlignment(c.has(kCentred) ? Qt::AlignCenter : align);
    l->setWordWrap(c.has(kMultiline));
    return l;
}

// In a dialog every push button would otherwise take Enter pressed in a field
// (the first one becomes the default button).
template <typename Button> Button* pushButton(Button* b) {
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QWidget* makeCheck(const ControlDef& c, QWidget* parent) {
    if (!c.has(kPushLike))
        return new QCheckBox(buttonText(c.caption), parent);
    auto* b = pushButton(new QPushButton(buttonText(c.caption), parent));
    b->setCheckable(true);
    return b;
}

QWidget* makeSlider(const ControlDef& c, QWidget* parent) {
    if (c.has(kScrollBar)) // position 0 at the top or left already
        return new QScrollBar(c.has(kVertical) ? Qt::Vertical : Qt::Horizontal, parent);
    auto* s = new QSlider(c.has(kVertical) ? Qt::Vertical : Qt::Horizontal, parent);
    if (c.has(kVertical)) {
        // Position 0 at the top, and Up / wheel-up move the handle up.
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
    }
    return s;
}

QWidget* makeProgress(const ControlDef& c, QWidget* parent) {
    auto* b = new QProgressBar(parent);
    b->setOrientation(c.has(kVertical) ? Qt::Vertical : Qt::Horizontal);
    b->setTextVisible(false);
    return b;
}

QWidget* makeEdit(const ControlDef& c, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(c.has(kReadOnly));
    if (c.has(kHugeFont))
        e->setAlignment(Qt::AlignCenter);
    return e;
}

QWidget* makeMultiLine(const ControlDef& c, QWidget* parent) {
    auto* e = new QPlainTextEdit(parent);
    e->setReadOnly(c.has(kReadOnly));
    return e;
}

QWidget* makeList(QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

QWidget* makeCombo(QWidget* parent) {
    auto* b = new QComboBox(parent);
    b->setEditable(true);
    b->setInsertPolicy(QComboBox::NoInsert);
    b->setMaxVisibleItems(20);
    return b;
}

QWidget* makeLog(QWidget* parent) {
    auto* t = new QTextEdit(parent);
    t->setReadOnly(true);
    return t;
}

QWidget* makeWidget(const ControlDef& c, QWidget* parent) {
    switch (c.kind) {
    case ControlKind::Label:
        return makeLabel(c, parent);
    case ControlKind::Button:
        return pushButton(new QPushButton(buttonText(c.caption), parent));
    case ControlKind::CheckBox:
        return makeCheck(c, parent);
    case ControlKind::Slider:
        return makeSlider(c, parent);
    case ControlKind::Edit:
        return makeEdit(c, parent);
    case ControlKind::MultiLineEdit:
        return makeMultiLine(c, parent);
    case ControlKind::Spin:
        return new SpinArrows(parent);
    case ControlKind::Progress:
        return makeProgress(c, parent);
    case ControlKind::HotKey:
        return new HotKeyEdit(parent);
    case ControlKind::List:
        return makeList(parent);
    case ControlKind::ComboBox:
        return makeCombo(parent);
    case ControlKind::GroupBox:
        return new QGroupBox(qs(c.caption), parent);
    case ControlKind::Swatch:
        return new ColourCell(parent);
    case ControlKind::ColourButton:
        return pushButton(new ColourButton(parent));
    case ControlKind::Custom:
        return new CustomArea(parent);
    case ControlKind::RichLog:
        return makeLog(parent);
    }
    return new QWidget(parent);
}

// The item texts of a list widget or combo box, behind one face.
struct ItemView {
    QListWidget* list = nullptr;
    QComboBox* combo = nullptr;

    int count() const { return list ? list->count() : combo->count(); }
    QString text(int i) const { return list ? list->item(i)->text() : combo->itemText(i); }
    void removeLast() {
        if (list)
            delete list->takeItem(list->count() - 1);
        else
            combo->removeItem(combo->count() - 1);
    }
    void add(const QString& t) {
        if (list)
            list->addItem(t);
        else
            combo->addItem(t);
    }
};

// Makes the widget's items equal to the model's, touching only what differs so
// that filling a long list item by item stays linear.
void syncItems(ItemView v, const ListModel& model) {
    int keep = 0;
    int common = std::min(v.count(), model.count());
    while (keep < common && v.text(keep) == qs(model.item(keep).text))
        ++keep;
    while (v.count() > keep)
        v.removeLast();
    for (int i = keep; i < model.count(); ++i)
        v.add(qs(model.item(i).text));
}

int selectedRow(const QListWidget* w) {
    const QList<QListWidgetItem*> items = w->selectedItems();
    return items.isEmpty() ? -1 : w->row(items.first());
}

void syncListSelection(QListWidget* w, int selected) {
    if (selectedRow(w) == selected)
        return;
    w->clearSelection();
    if (selected < 0) {
        w->setCurrentItem(nullptr);
        return;
    }
    w->setCurrentRow(selected);
    w->scrollToItem(w->item(selected));
}

// The edit field of a combo box shows the model's text, whatever item is current.
void setComboText(QComboBox* b, const QString& text) {
    if (b->currentText() == text)
        return;
    QLineEdit* e = b->lineEdit();
    int cursor = e ? e->cursorPosition() : 0;
    b->setEditText(text);
    if (e)
        e->setCursorPosition(std::min(cursor, int(text.size())));
}

void applyRange(QWidget* w, const ControlState& s) {
    if (auto* sl = qobject_cast<QAbstractSlider*>(w)) {
        sl->setRange(s.min, s.max);
        sl->setPageStep(std::max(1, (s.max - s.min) / 10));
        sl->setValue(s.pos);
    } else if (auto* b = qobject_cast<QProgressBar*>(w)) {
        b->setRange(s.min, s.max);
        b->setValue(s.pos);
    }
}

void applyPos(QWidget* w, const ControlState& s) {
    if (auto* sl = qobject_cast<QAbstractSlider*>(w))
        sl->setValue(s.pos);
    else if (auto* b = qobject_cast<QProgressBar*>(w))
        b->setValue(s.pos);
}

void applyColour(QWidget* w, uint32_t colour) {
    if (auto* cell = dynamic_cast<ColourCell*>(w))
        cell->setColour(toQColor(colour));
    else if (auto* button = dynamic_cast<ColourButton*>(w))
        button->setColour(toQColor(colour));
}

void applyHotKey(QKeySequenceEdit* e, const std::string& text) {
    QKeySequence seq = QKeySequence::fromString(qs(text), QKeySequence::PortableText);
    if (e->keySequence() != seq)
        e->setKeySequence(seq);
}

void applyText(QWidget* w, const std::string& text) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(qs(text));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != qs(text))
            e->setText(qs(text));
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        if (toModelText(t->toPlainText()) != text)
            t->setPlainText(toWidgetText(text));
    } else if (auto* k = qobject_cast<QKeySequenceEdit*>(w)) {
        applyHotKey(k, text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        setComboText(c, qs(text));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(qs(text));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (!dynamic_cast<ColourButton*>(w))
            b->setText(buttonText(text));
    }
}

const char* const kBindingName = "orvane-dialog-binding";

// The binding of one built dialog: a child object of the dialog, created before the
// widgets so that it is deleted before them. It is the receiver of every widget
// connection, so deleting it cuts them all; the model observers check it is alive.
class Binding : public QObject {
public:
    Binding(QWidget* parent, ControlModel& m, const std::map<int, ListModel*>& l)
        : QObject(parent), model(&m), lists(l) {
        setObjectName(kBindingName);
    }

    ControlModel* model;
    std::map<int, ListModel*> lists;
    std::map<int, QPointer<QWidget>> widgets;
    int muted = kNoId; // a model change of this id is not mirrored (see onChecked)

    QWidget* widget(int id) const {
        auto it = widgets.find(id);
        return it == widgets.end() ? nullptr : it->second.data();
    }
    void apply(int id, ControlField field);
    void applyAll(int id);
    void syncList(int id);

    void onChecked(int id, bool checked);
    void onSpin(int id, int delta);
    void onListSelection(int id, QListWidget* w);
    void onComboChosen(int id, QComboBox* b, int index);
    void onComboTyped(int id, const QString& text);

    void connectSlider(int id, QAbstractSlider* s);
    void connectButton(int id, QAbstractButton* b, bool checkable);
    void connectEdit(int id, QWidget* w);
    void connectItems(int id, QWidget* w);
    void connectOperator(const ControlDef& c, QWidget* w);

    QWidget* bind(const ControlDef& c, QWidget* w);
    void observeModels();
};

QWidget* Binding::bind(const ControlDef& c, QWidget* w) {
    if (!model->has(c.id)) {
        model->add(c.id, c.kind, c.caption);
        model->setVisible(c.id, !c.has(kHidden));
    }
    widgets[c.id] = w;
    connectOperator(c, w);
    applyAll(c.id);
    return w;
}

void Binding::observeModels() {
    QPointer<Binding> self(this);
    model->observe([self](int id, ControlField f) {
        if (self)
            self->apply(id, f);
    });
    for (const auto& [id, list] : lists)
        if (list)
            list->observe([self, id = id] {
                if (self)
                    self->syncList(id);
            });
}

void Binding::apply(int id, ControlField field) {
    QWidget* w = widget(id);
    if (!w || id == muted)
        return;
    const ControlState& s = model->state(id);
    QSignalBlocker block(w);
    switch (field) {
    case ControlField::Pos:
        applyPos(w, s);
        break;
    case ControlField::Range:
        applyRange(w, s);
        break;
    case ControlField::Checked:
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setChecked(s.checked);
        break;
    case ControlField::Enabled:
        w->setEnabled(s.enabled);
        break;
    case ControlField::Visible:
        w->setVisible(s.visible);
        break;
    case ControlField::Colour:
        applyColour(w, s.colour);
        break;
    case ControlField::Text:
        applyText(w, s.text);
        break;
    }
}

void Binding::applyAll(int id) {
    for (ControlField f : {ControlField::Range, ControlField::Checked, ControlField::Enabled,
                           ControlField::Visible, ControlField::Colour, ControlField::Text})
        apply(id, f);
    syncList(id);
}

void Binding::syncList(int id) {
    auto it = lists.find(id);
    QWidget* w = widget(id);
    if (it == lists.end() || !it->second || !w)
        return;
    const ListModel& l = *it->second;
    QSignalBlocker block(w);
    if (auto* lw = qobject_cast<QListWidget*>(w)) {
        syncItems({lw, nullptr}, l);
        syncListSelection(lw, l.selected());
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        syncItems({nullptr, cb}, l);
        if (cb->currentIndex() != l.selected())
            cb->setCurrentIndex(l.selected());
        setComboText(cb, qs(model->text(id)));
    }
}

// Qt has already toggled the box; the model must end in the same state and raise
// Clicked once, so bring it to the state before the toggle without echo first.
void Binding::onChecked(int id, bool checked) {
    if (model->checked(id) == checked) {
        muted = id;
        model->setChecked(id, !checked);
        muted = kNoId;
    }
    model->click(id);
}

void Binding::onSpin(int id, int delta) {
    const ControlState& s = model->state(id);
    int pos = std::clamp(s.pos + delta, std::min(s.min, s.max), std::max(s.min, s.max));
    if (pos != s.pos)
        model->scroll(id, pos);
}

void Binding::onListSelection(int id, QListWidget* w) {
    auto it = lists.find(id);
    if (it != lists.end() && it->second)
        it->second->select(selectedRow(w));
    model->raise(ControlEvent::SelectionChanged, id);
}

void Binding::onComboChosen(int id, QComboBox* b, int index) {
    model->setText(id, utf8(b->itemText(index)));
    auto it = lists.find(id);
    if (it != lists.end() && it->second)
        it->second->select(index);
    model->raise(ControlEvent::SelectionChanged, id);
}

// Typing replaces the selection: the box then names what was typed.
void Binding::onComboTyped(int id, const QString& text) {
    model->setText(id, utf8(text));
    auto it = lists.find(id);
    if (it != lists.end() && it->second && it->second->selected() >= 0)
        it->second->select(-1);
}

void Binding::connectSlider(int id, QAbstractSlider* s) {
    QObject* ctx = this;
    QObject::connect(s, &QAbstractSlider::valueChanged, ctx, [this, id, s](int v) {
        model->scroll(id, v);
        if (!s->isSliderDown()) // a key, wheel or page step ends the move at once
            model->raise(ControlEvent::Released, id);
    });
    QObject::connect(s, &QAbstractSlider::sliderReleased, ctx,
                     [this, id] { model->raise(ControlEvent::Released, id); });
}

void Binding::connectButton(int id, QAbstractButton* b, bool checkable) {
    QObject* ctx = this;
    if (checkable)
        QObject::connect(b, &QAbstractButton::clicked, ctx,
                         [this, id](bool checked) { onChecked(id, checked); });
    else
        QObject::connect(b, &QAbstractButton::clicked, ctx, [this, id] { model->click(id); });
}

void Binding::connectEdit(int id, QWidget* w) {
    QObject* ctx = this;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QObject::connect(e, &QLineEdit::textEdited, ctx,
                         [this, id](const QString& t) { model->setText(id, utf8(t)); });
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        QObject::connect(t, &QPlainTextEdit::textChanged, ctx,
                         [this, id, t] { model->setText(id, toModelText(t->toPlainText())); });
    } else if (auto* k = qobject_cast<QKeySequenceEdit*>(w)) {
        QObject::connect(k, &QKeySequenceEdit::keySequenceChanged, ctx,
                         [this, id](const QKeySequence& seq) {
                             model->setText(id, utf8(seq.toString(QKeySequence::PortableText)));
                         });
    }
}

void Binding::connectItems(int id, QWidget* w) {
    QObject* ctx = this;
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        QObject::connect(l, &QListWidget::itemSelectionChanged, ctx,
                         [this, id, l] { onListSelection(id, l); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, ctx,
                         [this, id] { model->doubleClick(id); });
    } else if (auto* b = qobject_cast<QComboBox*>(w)) {
        QObject::connect(b, &QComboBox::activated, ctx,
                         [this, id, b](int index) { onComboChosen(id, b, index); });
        QObject::connect(b->lineEdit(), &QLineEdit::textEdited, ctx,
                         [this, id](const QString& t) { onComboTyped(id, t); });
    }
}

void Binding::connectOperator(const ControlDef& c, QWidget* w) {
    switch (c.kind) {
    case ControlKind::Slider:
        connectSlider(c.id, static_cast<QAbstractSlider*>(w));
        break;
    case ControlKind::Button:
    case ControlKind::ColourButton:
        connectButton(c.id, static_cast<QAbstractButton*>(w), false);
        break;
    case ControlKind::CheckBox:
        connectButton(c.id, static_cast<QAbstractButton*>(w), true);
        break;
    case ControlKind::Spin: {
        auto* s = static_cast<SpinArrows*>(w);
        QObject::connect(s->up(), &QToolButton::clicked, this,
                         [this, id = c.id] { onSpin(id, +1); });
        QObject::connect(s->down(), &QToolButton::clicked, this,
                         [this, id = c.id] { onSpin(id, -1); });
        break;
    }
    case ControlKind::Edit:
    case ControlKind::MultiLineEdit:
    case ControlKind::HotKey:
        connectEdit(c.id, w);
        break;
    case ControlKind::List:
    case ControlKind::ComboBox:
        connectItems(c.id, w);
        break;
    default:
        break;
    }
}

} // namespace

std::map<int, QWidget*> buildDialog(QWidget* parent, std::span<const ControlDef> table,
                                    ControlModel& model, const std::map<int, ListModel*>& lists) {
    auto* binding = new Binding(parent, model, lists);
    std::map<int, QWidget*> out;
    std::vector<QWidget*> frames;
    for (const ControlDef& c : table) {
        QWidget* w = makeWidget(c, parent);
        setDesignGeometry(w, QRect(c.x, c.y, c.w, c.h));
        setDesignFont(w, fontFor(c, w->font()));
        if (c.kind == ControlKind::GroupBox)
            frames.push_back(w);
        if (c.id == kNoId)
            w->setVisible(!c.has(kHidden));
        else
            out[c.id] = binding->bind(c, w);
    }
    for (auto it = frames.rbegin(); it != frames.rend(); ++it)
        (*it)->lower();
    binding->observeModels();
    return out;
}

void unbindDialog(QWidget* parent) {
    const QList<QObject*> bindings =
        parent->findChildren<QObject*>(kBindingName, Qt::FindDirectChildrenOnly);
    for (QObject* b : bindings)
        delete b;
}

bool setPaintHook(QWidget* area, PaintHook hook) {
    auto* custom = dynamic_cast<CustomArea*>(area);
    if (!custom)
        return false;
    custom->setHook(std::move(hook));
    return true;
}

bool setToolTipHook(QWidget* area, ToolTipHook hook) {
    auto* custom = dynamic_cast<CustomArea*>(area);
    if (!custom)
        return false;
    custom->setTipHook(std::move(hook));
    return true;
}

void setToolTips(const std::map<int, QWidget*>& widgets, std::span<const ControlTip> tips) {
    for (const ControlTip& t : tips) {
        auto it = widgets.find(t.id);
        if (it != widgets.end() && it->second)
            it->second->setToolTip(QString::fromUtf8(t.text));
    }
}

void appendLogLine(QWidget* w, std::string_view line, uint32_t colour) {
    auto* log = qobject_cast<QTextEdit*>(w);
    if (!log)
        return;
    QTextCursor cursor(log->document());
    cursor.movePosition(QTextCursor::End);
    if (!log->document()->isEmpty())
        cursor.insertBlock();
    QTextCharFormat format;
    format.setForeground(theme().readable(toQColor(colour)));
    cursor.insertText(qs(line), format);
    log->moveCursor(QTextCursor::End);
    log->ensureCursorVisible();
}

} // namespace orvane
