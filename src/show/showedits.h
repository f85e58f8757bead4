#pragma once
// The undo and redo history of a show table. Every change to the table passes
// through its change hook, where the first change of a section within an edit
// keeps the section's contents as they were; undoing the edit puts those
// contents back whole (keys, values, their order and the section's
// generation), and keeps what it replaces for redo. An edit is everything one
// operator action changed, however many steps it moved.
//
// Memory stays bounded whatever the actions: the edits nearest to the present
// (either way) keep their sections as the table held them, so that undoing or
// redoing them costs a few pointers per step; older ones are packed into a
// compact text of their entries, with keys written relative to their step, and
// equal texts are shared (an insert moves 499 steps by one: the steps it keeps
// are the steps the previous edit kept).
//
// User-interface thread only, as the table.

#include "show/showtable.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane {

class ShowEdits {
public:
    // At least this many operator actions can be undone.
    static constexpr size_t kLevels = 256;
    // Sections kept as the table held them, nearest edits first; the rest
    // are packed. A full step is about 30 KB that way.
    static constexpr size_t kFullSections = 600;

    // How an edit is named: by the first action's label, else by the first
    // label of storing the console into a step (which many actions do on the
    // way, and which names an edit only when nothing else does).
    enum class Naming { Action, Store };

    // One operator action: every change between its construction and its
    // end is one edit. Scopes nest; an inner one joins the outer. Equal
    // non-empty merge keys of consecutive edits make them one (a caption
    // typed letter by letter), until an undo or redo comes between.
    class Scope {
    public:
        Scope(ShowEdits& edits, std::string label, Naming naming = Naming::Action,
              std::string mergeKey = {});
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ShowEdits& m_edits;
    };

    // While a Pause lives, changes are not recorded (a show read from its
    // file is no edit); forget() then drops what was recorded before.
    class Pause {
    public:
        explicit Pause(ShowEdits& edits);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        ShowEdits& m_edits;
    };

    explicit ShowEdits(ShowTable& table);
    ~ShowEdits();
    ShowEdits(const ShowEdits&) = delete;
    ShowEdits& operator=(const ShowEdits&) = delete;

    // The label of the edit undone or redone; nothing when there is none, or
    // while an action is under way (busy()).
    std::optional<std::string> undo();
    std::optional<std::string> redo();
    bool busy() const { return m_depth > 0; }
    size_t undoLevels() const;
    size_t redoLevels() const { return m_redo.size(); }
    void forget();

    // How many undos and redos were done: windows that draw steps compare it.
    uint64_t restores() const { return m_restores; }
    // The memory the history holds, roughly: entries kept whole, and packed
    // texts counted once however many edits share them.
    size_t memoryBytes() const;

private:
    struct Image {
        int section = 0;
        ShowTable::Contents whole; // when not packed
        std::shared_ptr<const std::string> packed;
        uint64_t generation = 0;
    };
    struct Edit {
        std::string label;
        bool named = false; // by an action
        std::string mergeKey;
        bool packed = false; // every image packed
        std::vector<Image> images;
    };

    void begin(std::string label, Naming naming, std::string mergeKey);
    void end();
    void name(std::string label, Naming naming);
    void changing(int section);
    void closeLoose();
    void push(Edit edit);
    Edit restore(Edit edit);
    void balance();
    void pack(Edit& edit);
    ShowTable::Contents unpack(const Image& image) const;
    std::shared_ptr<const std::string> intern(std::string text);
    void sweepTexts();

    ShowTable& m_table;
    std::deque<Edit> m_undo;
    std::deque<Edit> m_redo;
    Edit m_open;
    int m_depth = 0;
    bool m_loose = false; // changes came with no scope open: an edit of their own
    int m_paused = 0;
    bool m_mergeable = false;           // the last edit pushed may take the next one in
    std::vector<uint32_t> m_recordedIn; // section -> the edit number that kept it
    uint32_t m_editNumber = 0;
    uint64_t m_restores = 0;
    std::unordered_map<size_t, std::vector<std::weak_ptr<const std::string>>> m_texts;
    size_t m_interned = 0;
};

} // namespace orvane
