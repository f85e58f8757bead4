#include "show/showedits.h"

#include "show/language.h"
#include "show/steprecord.h"

#include <QtGlobal>

#include <algorithm>
#include <unordered_set>

namespace orvane {

namespace {

// Changes made outside any action still form an edit, so that nothing the
// table held is ever lost to the history.
constexpr const char* kLooseLabel = QT_TRANSLATE_NOOP("Undo", "changes to the show");

void putLength(std::string& out, size_t n) {
    while (n >= 0x80) {
        out.push_back(char(uint8_t(n) | 0x80));
        n >>= 7;
    }
    out.push_back(char(n));
}

size_t takeLength(std::string_view& in) {
    size_t n = 0;
    for (int shift = 0; !in.empty(); shift += 7) {
        uint8_t b = uint8_t(in.front());
        in.remove_prefix(1);
        n |= size_t(b & 0x7F) << shift;
        if (!(b & 0x80))
            break;
    }
    return n;
}

std::string_view takeText(std::string_view& in) {
    size_t n = std::min(takeLength(in), in.size());
    std::string_view text = in.substr(0, n);
    in.remove_prefix(n);
    return text;
}

std::string keyPrefix(int section) {
    return std::to_string(section) + "$";
}

// A section's entries as one text: per entry a mark, the key and the value,
// each with its length. A key that starts with the section's own number
// ("12$master" in step 12) is kept without it, so a step moved to another
// number packs to the same text.
std::string packEntries(int section, const std::vector<ShowTable::Entry>& entries) {
    const std::string prefix = keyPrefix(section);
    std::string out;
    for (const ShowTable::Entry& e : entries) {
        std::string_view key = e.key();
        bool relative = key.substr(0, prefix.size()) == prefix;
        if (relative)
            key.remove_prefix(prefix.size());
        out.push_back(relative ? 'r' : 'a');
        putLength(out, key.size());
        out.append(key);
        putLength(out, e.value.size());
        out.append(e.value);
    }
    return out;
}

std::vector<ShowTable::Entry> unpackEntries(int section, std::string_view in) {
    const std::string prefix = keyPrefix(section);
    std::vector<ShowTable::Entry> entries;
    std::string key;
    while (!in.empty()) {
        bool relative = in.front() == 'r';
        in.remove_prefix(1);
        key.assign(relative ? prefix : std::string());
        key.append(takeText(in));
        std::string_view value = takeText(in);
        entries.emplace_back(key, value);
    }
    return entries;
}

size_t wholeBytes(const ShowTable::Contents& c) {
    size_t n = c.entries().capacity() * sizeof(ShowTable::Entry);
    for (const ShowTable::Entry& e : c.entries())
        if (e.value.capacity() > 15)
            n += e.value.capacity() + 1;
    return n;
}

} // namespace

ShowEdits::Scope::Scope(ShowEdits& edits, std::string label, Naming naming, std::string mergeKey)
    : m_edits(edits) {
    m_edits.begin(std::move(label), naming, std::move(mergeKey));
}

ShowEdits::Scope::~Scope() {
    m_edits.end();
}

ShowEdits::Pause::Pause(ShowEdits& edits) : m_edits(edits) {
    ++m_edits.m_paused;
}

ShowEdits::Pause::~Pause() {
    --m_edits.m_paused;
}

ShowEdits::ShowEdits(ShowTable& table) : m_table(table), m_recordedIn(size_t(kStepCount), 0) {
    m_table.setChangeHook([this](int section) { changing(section); });
}

ShowEdits::~ShowEdits() {
    m_table.setChangeHook({});
}

void ShowEdits::changing(int section) {
    if (m_paused || section < 0 || section >= kStepCount)
        return;
    if (m_depth == 0 && !m_loose) {
        m_open = Edit{translate("Undo", kLooseLabel), false, {}, false, {}};
        m_loose = true;
        ++m_editNumber;
    }
    uint32_t& recorded = m_recordedIn[size_t(section)];
    if (recorded == m_editNumber)
        return;
    recorded = m_editNumber;
    Image image;
    image.section = section;
    image.whole = m_table.contents(section);
    image.generation = image.whole.generation();
    m_open.images.push_back(std::move(image));
}

void ShowEdits::closeLoose() {
    if (!m_loose)
        return;
    m_loose = false;
    push(std::move(m_open));
}

void ShowEdits::begin(std::string label, Naming naming, std::string mergeKey) {
    if (m_depth++ > 0) {
        name(std::move(label), naming);
        return;
    }
    closeLoose();
    m_open = Edit{};
    ++m_editNumber;
    bool merge = !mergeKey.empty() && m_mergeable && !m_undo.empty() &&
                 m_undo.back().mergeKey == mergeKey && !m_undo.back().packed;
    if (merge) {
        m_open = std::move(m_undo.back());
        m_undo.pop_back();
        for (const Image& image : m_open.images)
            m_recordedIn[size_t(image.section)] = m_editNumber;
    }
    m_open.mergeKey = std::move(mergeKey);
    name(std::move(label), naming);
}

void ShowEdits::name(std::string label, Naming naming) {
    if (label.empty() || m_open.named)
        return;
    if (naming == Naming::Action) {
        m_open.label = std::move(label);
        m_open.named = true;
    } else if (m_open.label.empty()) {
        m_open.label = std::move(label);
    }
}

void ShowEdits::end() {
    if (m_depth == 0 || --m_depth > 0)
        return;
    push(std::move(m_open));
    m_open = Edit{};
}

void ShowEdits::push(Edit edit) {
    ++m_editNumber; // whatever changes next is kept again
    if (edit.images.empty())
        return; // nothing changed: the redo history stays
    m_mergeable = !edit.mergeKey.empty();
    m_undo.push_back(std::move(edit));
    m_redo.clear();
    while (m_undo.size() > kLevels)
        m_undo.pop_front();
    balance();
}

ShowEdits::Edit ShowEdits::restore(Edit edit) {
    Edit back{edit.label, edit.named, {}, false, {}};
    back.images.reserve(edit.images.size());
    for (Image& image : edit.images) {
        ShowTable::Contents contents = image.packed ? unpack(image) : std::move(image.whole);
        Image replaced;
        replaced.section = image.section;
        replaced.whole = m_table.replace(image.section, std::move(contents));
        replaced.generation = replaced.whole.generation();
        back.images.push_back(std::move(replaced));
    }
    return back;
}

std::optional<std::string> ShowEdits::undo() {
    closeLoose();
    if (busy() || m_undo.empty())
        return std::nullopt;
    Edit edit = std::move(m_undo.back());
    m_undo.pop_back();
    m_redo.push_back(restore(std::move(edit)));
    ++m_editNumber;
    m_mergeable = false;
    ++m_restores;
    balance();
    return m_redo.back().label;
}

std::optional<std::string> ShowEdits::redo() {
    closeLoose();
    if (busy() || m_redo.empty())
        return std::nullopt;
    Edit edit = std::move(m_redo.back());
    m_redo.pop_back();
    m_undo.push_back(restore(std::move(edit)));
    ++m_editNumber;
    m_mergeable = false;
    ++m_restores;
    balance();
    return m_undo.back().label;
}

size_t ShowEdits::undoLevels() const {
    return m_undo.size() + (m_loose ? 1 : 0);
}

void ShowEdits::forget() {
    m_undo.clear();
    m_redo.clear();
    m_loose = false;
    m_open = Edit{};
    m_mergeable = false;
    ++m_editNumber;
    m_texts.clear();
}

// The edits nearest to the present, either way, keep their sections whole
// while they fit the budget; every edit beyond is packed.
void ShowEdits::balance() {
    size_t kept = 0;
    auto visit = [&kept, this](Edit& edit) {
        if (edit.packed)
            return;
        size_t whole = 0;
        for (const Image& image : edit.images)
            whole += image.packed ? 0 : 1;
        if (kept + whole <= kFullSections)
            kept += whole;
        else
            pack(edit);
    };
    size_t depth = std::max(m_undo.size(), m_redo.size());
    for (size_t i = 0; i < depth; ++i) {
        if (i < m_undo.size())
            visit(m_undo[m_undo.size() - 1 - i]);
        if (i < m_redo.size())
            visit(m_redo[m_redo.size() - 1 - i]);
    }
}

void ShowEdits::pack(Edit& edit) {
    for (Image& image : edit.images) {
        if (image.packed)
            continue;
        image.packed = intern(packEntries(image.section, image.whole.entries()));
        image.whole = ShowTable::Contents();
    }
    edit.packed = true;
}

ShowTable::Contents ShowEdits::unpack(const Image& image) const {
    return ShowTable::Contents::of(unpackEntries(image.section, *image.packed), image.generation);
}

std::shared_ptr<const std::string> ShowEdits::intern(std::string text) {
    auto& bucket = m_texts[std::hash<std::string>{}(text)];
    std::shared_ptr<const std::string> found;
    for (auto it = bucket.begin(); it != bucket.end();) {
        std::shared_ptr<const std::string> held = it->lock();
        if (!held) {
            it = bucket.erase(it);
            continue;
        }
        if (!found && *held == text)
            found = held;
        ++it;
    }
    if (found)
        return found;
    auto made = std::make_shared<const std::string>(std::move(text));
    bucket.push_back(made);
    // Texts no edit holds any more leave the pool now and then.
    if (++m_interned % 4096 == 0)
        sweepTexts();
    return made;
}

void ShowEdits::sweepTexts() {
    for (auto it = m_texts.begin(); it != m_texts.end();) {
        std::erase_if(it->second, [](const auto& weak) { return weak.expired(); });
        it = it->second.empty() ? m_texts.erase(it) : std::next(it);
    }
}

size_t ShowEdits::memoryBytes() const {
    size_t n = 0;
    std::unordered_set<const std::string*> counted;
    for (const auto* stack : {&m_undo, &m_redo})
        for (const Edit& edit : *stack)
            for (const Image& image : edit.images) {
                n += sizeof(Image);
                if (!image.packed)
                    n += wholeBytes(image.whole);
                else if (counted.insert(image.packed.get()).second)
                    n += image.packed->capacity() + sizeof(std::string);
            }
    return n;
}

} // namespace orvane
