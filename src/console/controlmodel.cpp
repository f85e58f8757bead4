#include "console/controlmodel.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <strings.h>
#include <utility>

namespace orvane {

namespace {

// The widest span of ids found by position (dialogs use a few thousand).
constexpr int64_t kIndexSpanMax = 1 << 15;

// Release builds say once per id that code reached a control nobody declared,
// and carry on; debug builds stop at once.
void reportUndeclared(int id, const char* use) {
    static std::set<int> reported;
    if (!reported.insert(id).second)
        return;
    // untranslated-begin: a programming error, for developers
    std::fprintf(stderr, "orvane: control %d was %s but is not declared\n", id, use);
    // untranslated-end
#ifndef NDEBUG
    std::abort();
#endif
}

ControlModel::UndeclaredHandler g_undeclared = reportUndeclared;

} // namespace

ControlModel::UndeclaredHandler ControlModel::setUndeclaredHandler(UndeclaredHandler handler) {
    return std::exchange(g_undeclared, handler ? handler : reportUndeclared);
}

void ControlModel::add(int id, ControlKind kind, std::string_view text) {
    auto [it, added] = m_controls.try_emplace(id);
    if (added)
        index(id, &it->second);
    it->second.kind = kind;
    it->second.text = std::string(text);
}

const ControlState* ControlModel::declared(int id, const char* use) const {
    const ControlState* s = find(id);
    if (!s)
        g_undeclared(id, use);
    return s;
}

const ControlState* ControlModel::find(int id) const {
    size_t i = size_t(int64_t{id} - m_indexBase);
    if (i < m_index.size())
        return m_index[i];
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : &it->second;
}

void ControlModel::index(int id, ControlState* state) {
    int64_t first = m_index.empty() ? id : std::min<int64_t>(m_indexBase, id);
    int64_t last =
        m_index.empty() ? id : std::max<int64_t>(m_indexBase + int64_t(m_index.size()) - 1, id);
    if (last - first + 1 > kIndexSpanMax)
        return; // found through the map
    if (first != m_indexBase || last - first + 1 != int64_t(m_index.size())) {
        // Every id of the new span that the map holds enters the index.
        m_indexBase = first;
        m_index.assign(size_t(last - first + 1), nullptr);
        for (auto it = m_controls.lower_bound(int(first));
             it != m_controls.end() && it->first <= last; ++it)
            m_index[size_t(it->first - first)] = &it->second;
    }
    m_index[size_t(id - first)] = state;
}

const ControlState& ControlModel::state(int id) const {
    static const ControlState kNone;
    const ControlState* s = declared(id, "read");
    return s ? *s : kNone;
}

std::vector<int> ControlModel::ids() const {
    std::vector<int> out;
    out.reserve(m_controls.size());
    for (const auto& [id, s] : m_controls)
        out.push_back(id);
    return out;
}

ControlState* ControlModel::mut(int id) {
    return const_cast<ControlState*>(declared(id, "written"));
}

void ControlModel::notify(int id, ControlField field) {
    ++s_changes;
    for (const auto& o : m_observers)
        o(id, field);
}

template <typename T>
void ControlModel::assign(int id, T ControlState::*member, T value, ControlField field) {
    ControlState* s = mut(id);
    if (!s || s->*member == value)
        return;
    s->*member = value;
    notify(id, field);
}

void ControlModel::setPos(int id, int pos) {
    if (const ControlState* s = declared(id, "written"))
        assign(id, &ControlState::pos,
               std::clamp(pos, std::min(s->min, s->max), std::max(s->min, s->max)),
               ControlField::Pos);
}

void ControlModel::setRange(int id, int min, int max) {
    ControlState* found = mut(id);
    if (!found)
        return;
    ControlState& s = *found;
    s.min = min;
    s.max = max;
    notify(id, ControlField::Range);
    setPos(id, s.pos);
}

void ControlModel::setChecked(int id, bool on) {
    assign(id, &ControlState::checked, on, ControlField::Checked);
}

void ControlModel::setText(int id, std::string_view text) {
    ControlState* found = mut(id);
    if (!found)
        return;
    ControlState& s = *found;
    if (s.text != text) {
        s.text = std::string(text);
        notify(id, ControlField::Text);
    }
    // An edit reports every write of its text, even of the same text.
    raise(ControlEvent::TextChanged, id);
}

bool ControlModel::showNumber(int id, int64_t value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    std::string_view text(digits, size_t(end - digits));
    if (text == this->text(id))
        return false;
    setText(id, text);
    return true;
}

int ControlModel::textInt(int id) const {
    return static_cast<int>(std::strtol(state(id).text.c_str(), nullptr, 10));
}

void ControlModel::setEnabled(int id, bool on) {
    assign(id, &ControlState::enabled, on, ControlField::Enabled);
}

void ControlModel::setVisible(int id, bool on) {
    assign(id, &ControlState::visible, on, ControlField::Visible);
}

void ControlModel::setColour(int id, uint32_t colour) {
    assign(id, &ControlState::colour, colour, ControlField::Colour);
}

void ControlModel::click(int id) {
    if (state(id).kind == ControlKind::CheckBox)
        setChecked(id, !checked(id));
    raise(ControlEvent::Clicked, id);
}

void ControlModel::scroll(int id, int pos) {
    setPos(id, pos);
    raise(ControlEvent::Scrolled, id);
}

void ControlModel::on(ControlEvent event, int id, Handler handler) {
    if (!declared(id, "given a handler")) // untranslated: for developers
        return;
    m_handlers[{int(event), id}] = std::move(handler);
}

void ControlModel::raise(ControlEvent event, int id) {
    if (!declared(id, "raised"))
        return;
    auto it = m_handlers.find({int(event), id});
    if (it != m_handlers.end()) {
        Handler h = it->second; // the handler may replace itself
        h();
    }
}

void ListModel::notify() {
    for (const auto& o : m_observers)
        o();
}

void ListModel::clear() {
    m_items.clear();
    notify();
}

int ListModel::add(std::string_view text, int64_t data) {
    m_items.push_back({std::string(text), data, false});
    notify();
    return count() - 1;
}

int ListModel::find(std::string_view text, bool ignoreCase) const {
    for (int i = 0; i < count(); ++i) {
        const std::string& t = m_items[i].text;
        bool same = ignoreCase ? (t.size() == text.size() &&
                                  strncasecmp(t.data(), text.data(), text.size()) == 0)
                               : t == text;
        if (same)
            return i;
    }
    return -1;
}

void ListModel::select(int i) {
    for (int k = 0; k < count(); ++k)
        m_items[k].selected = (k == i);
    notify();
}

int ListModel::selected() const {
    for (int i = 0; i < count(); ++i)
        if (m_items[i].selected)
            return i;
    return -1;
}

void ListModel::sortAscending() {
    std::stable_sort(m_items.begin(), m_items.end(), [](const Item& a, const Item& b) {
        return strcasecmp(a.text.c_str(), b.text.c_str()) < 0;
    });
    notify();
}

} // namespace orvane
