#pragma once

#include "platform/WindowSystem.h"

#include <QList>
#include <QRect>
#include <functional>

// The desktop as the tests set it: a fixed work area, and a record of the states asked for.
class FakeWindowSystem : public IWindowSystem {
public:
    QRect Area{0, 0, 1024, 768};
    QList<StackingLevel> Stacking;
    QList<bool> SkipTaskbar;
    // Called as the taskbar state is asked for, to see what else has happened by then.
    std::function<void(bool)> OnSkipTaskbar;

    void SetStacking(QWindow*, StackingLevel level) override { Stacking << level; }
    void SetSkipTaskbar(QWindow*, bool skip) override {
        SkipTaskbar << skip;
        if (OnSkipTaskbar)
            OnSkipTaskbar(skip);
    }
    QRect WorkArea() const override { return Area; }
    bool RemapIfWithdrawn(QWindow*) override { return false; }
};
