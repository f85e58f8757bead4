#pragma once
// The controls of one dialog as data: control id -> position, check state, text,
// colour, enabled, visible and range, with change notification. Logic reads and
// writes controls by id; a window binds a widget to each id, both ways.
// User-interface thread only.
//
// Writes from code behave as the platform's controls do: writing an edit's text
// raises TextChanged (even when the text stays the same) (so writing the step field activates the
// step), while moving a slider or setting a check mark from code raises no event. Operator actions
// go through click(), scroll() and the widget binding's setText().

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class ControlKind : uint8_t {
    Label,
    Button,
    CheckBox,
    Slider,
    Edit,
    MultiLineEdit,
    Spin,
    Progress,
    HotKey,
    List,
    ComboBox,
    GroupBox,
    Swatch, // owner-drawn colour cell
    ColourButton,
    Custom, // owner-drawn area (monitor bar, stage preview)
    RichLog,
};

// Released: the operator let go of a slider (end of a drag, or after a key or wheel step).
enum class ControlEvent : uint8_t {
    Clicked,
    TextChanged,
    Scrolled,
    DoubleClicked,
    SelectionChanged,
    Released,
};

struct ControlState {
    ControlKind kind = ControlKind::Label;
    int pos = 0;
    int min = 0;
    int max = 100;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    uint32_t colour = 0; // 0x00BBGGRR for swatches and colour buttons
    std::string text;    // UTF-8
};

// What changed, for observers that mirror the model into widgets.
enum class ControlField : uint8_t { Pos, Range, Checked, Enabled, Visible, Colour, Text };

// Only declared controls exist: add() declares one. Any other use of an id that
// was never declared (a read, a write, a handler, an event) is a programming
// error: it changes nothing, reads give a default state, and the undeclared-id
// handler is told. By default that handler writes one line to stderr per id
// (and stops a debug build); the tests make it a test failure.
class ControlModel {
public:
    using Handler = std::function<void()>;
    using Observer = std::function<void(int id, ControlField field)>;
    using UndeclaredHandler = void (*)(int id, const char* use);

    // Process-wide; nullptr restores the default. Returns the handler it replaces.
    static UndeclaredHandler setUndeclaredHandler(UndeclaredHandler handler);

    void add(int id, ControlKind kind, std::string_view text = {});
    bool has(int id) const { return find(id) != nullptr; }
    const ControlState& state(int id) const;
    std::vector<int> ids() const;

    int pos(int id) const { return state(id).pos; }
    void setPos(int id, int pos);            // clamped to the range
    void setRange(int id, int min, int max); // keeps the position inside
    bool checked(int id) const { return state(id).checked; }
    void setChecked(int id, bool on);
    const std::string& text(int id) const { return state(id).text; }
    void setText(int id, std::string_view text); // always raises TextChanged
    // Writes value as decimal text when the control shows another text (as
    // setText, TextChanged included); true when it wrote.
    bool showNumber(int id, int64_t value);
    int textInt(int id) const; // leading signed integer, 0 when none
    bool enabled(int id) const { return state(id).enabled; }
    void setEnabled(int id, bool on);
    bool visible(int id) const { return state(id).visible; }
    void setVisible(int id, bool on);
    uint32_t colour(int id) const { return state(id).colour; }
    void setColour(int id, uint32_t colour);

    // Operator actions (also used by remote commands that press a button).
    void click(int id);           // a check box toggles first
    void scroll(int id, int pos); // moves the slider and raises Scrolled
    void doubleClick(int id) { raise(ControlEvent::DoubleClicked, id); }

    // The dialog's handler table: one handler per (event, id).
    void on(ControlEvent event, int id, Handler handler);
    void raise(ControlEvent event, int id);

    // Observers are told of every state change (widget bindings, repaint).
    void observe(Observer observer) { m_observers.push_back(std::move(observer)); }
    // How many state changes every control model of the program has seen.
    static uint64_t changes() { return s_changes; }

private:
    ControlState* mut(int id); // null (and reported) when undeclared
    template <typename T> void assign(int id, T ControlState::*member, T value, ControlField field);
    const ControlState* find(int id) const;
    const ControlState* declared(int id, const char* use) const;
    void index(int id, ControlState* state);
    void notify(int id, ControlField field);

    std::map<int, ControlState> m_controls;
    // Timers read hundreds of controls a tick: ids inside one span are found
    // by position. Map nodes never move, so the pointers stay valid.
    std::vector<ControlState*> m_index; // id - m_indexBase -> state, or null
    int64_t m_indexBase = 0;
    std::map<std::pair<int, int>, Handler> m_handlers;
    std::vector<Observer> m_observers;
    static inline uint64_t s_changes = 0;
};

// A list control's items (sound list, effect box, show chooser) with a selection.
class ListModel {
public:
    struct Item {
        std::string text;
        int64_t data = 0;
        bool selected = false;
    };
    using Observer = std::function<void()>;

    void clear();
    int add(std::string_view text, int64_t data = 0);
    int count() const { return int(m_items.size()); }
    const Item& item(int i) const { return m_items.at(i); }
    int find(std::string_view text, bool ignoreCase) const; // -1 when absent
    void select(int i);                                     // single selection; -1 clears
    int selected() const;                                   // first selected, -1 when none
    void sortAscending();                                   // by text, case-insensitive
    void observe(Observer o) { m_observers.push_back(std::move(o)); }

private:
    void notify();
    std::vector<Item> m_items;
    std::vector<Observer> m_observers;
};

} // namespace orvane
