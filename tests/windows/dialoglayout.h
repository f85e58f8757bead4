#pragma once
// Layout checks shared by the tool windows' tests: every control inside the
// client area, and no two controls (frames aside) on top of each other.

#include "console/controldef.h"

#include <gtest/gtest.h>

#include <span>

namespace orvane::test {

inline void expectInside(std::span<const ControlDef> table, int width, int height) {
    for (const ControlDef& c : table)
        EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.w <= width && c.y + c.h <= height)
            << (c.caption ? c.caption : "") << " id " << c.id;
}

inline void expectNoOverlap(std::span<const ControlDef> table) {
    for (size_t i = 0; i < table.size(); ++i) {
        for (size_t j = i + 1; j < table.size(); ++j) {
            const ControlDef& a = table[i];
            const ControlDef& b = table[j];
            if (a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox)
                continue;
            const bool apart =
                a.x + a.w <= b.x || b.x + b.w <= a.x || a.y + a.h <= b.y || b.y + b.h <= a.y;
            EXPECT_TRUE(apart) << "ids " << a.id << " (" << a.caption << ") and " << b.id << " ("
                               << b.caption << ")";
        }
    }
}

} // namespace orvane::test
