// Hot keys: the virtual-key table, the registry and what a hot key does.

#include "app/hotkeys.h"
#include "console/consoletable.h"
#include "show/keycodes.h"
#include "support/qtapp.h"

#include <QKeySequence>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Qt's own entry to its shortcut map, the one its test library uses.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString& text,
                                               bool autorep, ushort count);

using namespace orvane;

TEST(KeyTable, EveryMappedCodeComesBack) {
    int mapped = 0;
    for (int code = 1; code < 256; ++code) {
        std::optional<QtKey> k = qtKeyOf(uint16_t(code));
        if (!k)
            continue;
        ++mapped;
        EXPECT_EQ(virtualKeyOf(k->key, k->keypad), code) << std::hex << code;
    }
    EXPECT_GT(mapped, 26 + 10 + 10 + 24 + 20);
}

TEST(KeyTable, KnownKeys) {
    struct Case {
        Qt::Key key;
        bool keypad;
        uint16_t code;
    } cases[] = {
        {Qt::Key_A, false, 'A'},      {Qt::Key_Z, false, 'Z'},       {Qt::Key_0, false, '0'},
        {Qt::Key_1, true, 0x61},      {Qt::Key_F1, false, 0x70},     {Qt::Key_F24, false, 0x87},
        {Qt::Key_Space, false, 0x20}, {Qt::Key_Plus, true, 0x6B},    {Qt::Key_Minus, true, 0x6D},
        {Qt::Key_Minus, false, 0xBD}, {Qt::Key_Delete, false, 0x2E}, {Qt::Key_PageUp, false, 0x21},
        {Qt::Key_Enter, true, 0x0D},  {Qt::Key_Home, true, 0x24},    {Qt::Key_Plus, false, 0},
        {Qt::Key_Meta, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(virtualKeyOf(c.key, c.keypad), c.code) << c.key << " " << c.keypad;
}

TEST(KeyTable, HotKeyFieldTextNamesTheSameKey) {
    // The hot-key field holds Qt's text of the combination; the step stores codes.
    for (int code = 1; code < 256; ++code) {
        if (keyName(uint16_t(code)).empty())
            continue;
        for (uint16_t mods : {0, 1, 2, 4, 7}) {
            HotKey key{uint16_t(code), mods};
            std::optional<QKeyCombination> c = toKeyCombination(key);
            ASSERT_TRUE(c) << keyName(uint16_t(code));
            QString text = QKeySequence(*c).toString(QKeySequence::PortableText);
            EXPECT_EQ(parseHotKey(text.toStdString()), key) << text.toStdString();
            EXPECT_EQ(fromKeyCombination(*c), key) << text.toStdString();
        }
    }
    EXPECT_FALSE(toKeyCombination({0, kModAlt}));
    EXPECT_FALSE(fromKeyCombination(QKeyCombination(Qt::MetaModifier, Qt::Key_A)));
}

namespace {

struct HotKeyFixture : ::testing::Test {
    ControlModel controls;
    std::vector<std::string> calls;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<HotKeys> keys;
    ProfileFiles profiles;
    ShowStore store{profiles};

    void SetUp() override {
        testApp();
        populateConsole(controls);
        controls.on(ControlEvent::TextChanged, 1000,
                    [this] { calls.push_back("step field " + controls.text(1000)); });
        window = std::make_unique<QWidget>();
        HotKeyActions a;
        a.fadeIn = [this] { calls.push_back("fade in"); };
        a.activateStep = [this] { calls.push_back("activate"); };
        a.stopSound = [this] { calls.push_back("stop"); };
        a.selectSound = [this](int p) { calls.push_back("select " + std::to_string(p)); };
        a.play = [this] {
            bool enabled =
                controls.enabled(1004) && controls.enabled(1046) && controls.enabled(1055);
            calls.push_back(enabled ? "play" : "play while disabled");
        };
        keys = std::make_unique<HotKeys>(window.get(), controls, a);
    }
    void stepKey(int step, uint16_t code, uint16_t mods) {
        StepRecord r;
        r.keycode = code;
        r.keymodifier = mods;
        store.SaveStep(step, r);
    }
};

} // namespace

TEST_F(HotKeyFixture, OneKeyHasOneOwner) {
    EXPECT_TRUE(keys->registerHotKey(3, {'A', kModCtrl}));
    EXPECT_FALSE(keys->registerHotKey(4, {'A', kModCtrl}));
    EXPECT_EQ(keys->registered(3), (HotKey{'A', kModCtrl}));
    EXPECT_FALSE(keys->registered(4));
    EXPECT_TRUE(keys->registerHotKey(4, {'A', kModCtrl | kModShift}));
    keys->unregisterHotKey(3);
    EXPECT_TRUE(keys->registerHotKey(5, {'A', kModCtrl}));
    // Re-registering an id replaces its key.
    EXPECT_TRUE(keys->registerHotKey(5, {'B', 0}));
    EXPECT_TRUE(keys->registerHotKey(6, {'A', kModCtrl}));
    EXPECT_FALSE(keys->registerHotKey(7, {0xFF, 0})); // no such key
}

TEST_F(HotKeyFixture, ValidateRegistersTheStepsOfTheShowTable) {
    stepKey(0, 'Q', kModAlt);
    stepKey(5, 0x70, kModShift | kModCtrl);
    stepKey(499, '7', 0);
    EXPECT_EQ(keys->validateStepHotKeys(store), 0);
    EXPECT_EQ(keys->registered(0), (HotKey{'Q', kModAlt}));
    EXPECT_EQ(keys->registered(5), (HotKey{0x70, kModShift | kModCtrl}));
    EXPECT_EQ(keys->registered(499), (HotKey{'7', 0}));
    EXPECT_FALSE(keys->registered(1));
    // The key moves from step 5 to step 3: the earlier step gets it.
    stepKey(3, 0x70, kModShift | kModCtrl);
    stepKey(5, 'Z', 0);
    stepKey(0, 0, 0);
    EXPECT_EQ(keys->validateStepHotKeys(store), 0);
    EXPECT_EQ(keys->registered(3), (HotKey{0x70, kModShift | kModCtrl}));
    EXPECT_EQ(keys->registered(5), (HotKey{'Z', 0}));
    EXPECT_FALSE(keys->registered(0));
}

TEST_F(HotKeyFixture, DamagedOrDuplicateStepKeysAreRefused) {
    store.WriteStoreValue("1", "keycode", "-3", {});
    store.WriteStoreValue("2", "keycode", "70000", {});
    store.WriteStoreValue("3", "keycode", "garbage", {}); // reads as 0: no key
    stepKey(4, 'K', kModCtrl);
    stepKey(6, 'K', kModCtrl);
    EXPECT_EQ(keys->validateStepHotKeys(store), 3);
    EXPECT_EQ(keys->registered(4), (HotKey{'K', kModCtrl}));
    for (uint32_t id : {1u, 2u, 3u, 6u})
        EXPECT_FALSE(keys->registered(id)) << id;
}

TEST_F(HotKeyFixture, WhatEachHotKeyDoes) {
    struct Case {
        uint32_t id;
        std::vector<std::string> calls;
    } cases[] = {
        {kFadeInHotKeyId, {"fade in"}},
        {7, {"step field 7", "activate"}},
        {kSoundHotKeyBase + 3, {"stop", "select 3", "play"}},
        {500, {}},
    };
    for (const Case& c : cases) {
        for (int b : {1004, 1046, 1055})
            controls.setEnabled(b, false);
        calls.clear();
        keys->onHotKey(c.id);
        EXPECT_EQ(calls, c.calls) << c.id;
    }
}

TEST_F(HotKeyFixture, SoundKeysReplaceTheOldSoundKeysOnly) {
    keys->registerHotKey(2, {'S', kModAlt});
    keys->setSoundHotKeys(
        {{kSoundHotKeyBase + 0, {'A', kModAlt}}, {kSoundHotKeyBase + 1, {'B', kModAlt}}});
    keys->setSoundHotKeys({{kSoundHotKeyBase + 5, {'A', kModAlt}}});
    EXPECT_FALSE(keys->registered(kSoundHotKeyBase + 0));
    EXPECT_FALSE(keys->registered(kSoundHotKeyBase + 1));
    EXPECT_EQ(keys->registered(kSoundHotKeyBase + 5), (HotKey{'A', kModAlt}));
    EXPECT_EQ(keys->registered(2), (HotKey{'S', kModAlt}));
}

TEST_F(HotKeyFixture, ShortcutFiresFromAnyWindowOfTheProgram) {
    ASSERT_TRUE(keys->registerFadeIn());
    ASSERT_TRUE(keys->registerHotKey(12, {'G', kModCtrl}));
    window->show();
    QWidget other; // another window of the program has the focus
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(
        qt_sendShortcutOverrideEvent(&other, 0, Qt::Key_Space, Qt::AltModifier, " ", false, 1));
    EXPECT_TRUE(
        qt_sendShortcutOverrideEvent(&other, 0, Qt::Key_G, Qt::ControlModifier, "", false, 1));
    EXPECT_EQ(calls, (std::vector<std::string>{"fade in", "step field 12", "activate"}));
    keys->unregisterHotKey(12);
    calls.clear();
    EXPECT_FALSE(
        qt_sendShortcutOverrideEvent(&other, 0, Qt::Key_G, Qt::ControlModifier, "", false, 1));
    EXPECT_TRUE(calls.empty());
}

TEST_F(HotKeyFixture, WindowGoingFirstLeavesNothingDangling) {
    keys->registerHotKey(1, {'A', 0});
    window.reset();
    keys->unregisterHotKey(1);
    EXPECT_FALSE(keys->registerHotKey(2, {'B', 0})); // no window to belong to
    keys.reset();
}
