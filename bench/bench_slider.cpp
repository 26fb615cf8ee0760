// One tick of a held slider button, as the repeat timer runs it: the step, the store (read the
// preference file, write it atomically), the reload announcement, the table asking every row
// height again (the pane has nested groups), and the read-out with its tick. A held button
// ticks every 100 ms, so a tick must cost far less than that; "share_of_tick" is the measured
// time as a fraction of that budget.
//
// Baseline in the same run: BM_StoreOnly is the same pane storing the same number through the
// specifier with no cell involved, so the difference is what the slider row itself adds.
#include "BenchBundle.h"
#include "tests/common/TempDeviceRoot.h"

#include "cells/QEVSliderCell.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "pane/PaneRegistration.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"
#include "uikit/UIWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

const QString kPrefs =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");

// `rows` rows in sections of 20: every fifth a slider row, the rest switches, and (with
// `groups`) one switch in ten controlling the three rows after it, all on so nothing collapses.
// Without groups the table is not asked for heights after a store: the floor of a tick. Row 0
// is the slider that is held; it belongs to no group.
QVariantList makeRows(int rows, bool groups) {
    QVariantList items;
    for (int i = 0; i < rows; ++i) {
        if (i % 20 == 0)
            items.append(QVariantMap{{"cell", "PSGroupCell"}, {"label", QString("S%1").arg(i)}});
        const QString key = QString("row%1").arg(i);
        if (i % 5 == 0) {
            items.append(QVariantMap{{"cell", "PSSliderCell"},
                                     {"cellClass", "QEVSliderCell"},
                                     {"label", key},
                                     {"key", key},
                                     {"min", 0},
                                     {"max", 1.0e6},
                                     {"default", 0}});
            continue;
        }
        QVariantMap row{{"cell", "PSSwitchCell"}, {"label", key}, {"key", key}, {"default", true}};
        if (groups && i % 10 == 1)
            row.insert("nestedEntryCount", 3);
        items.append(row);
    }
    return items;
}

struct ShownPane {
    TempDeviceRoot root;
    UIWindow window;
    TOLVPLAYERPreferencesListController* pane = new TOLVPLAYERPreferencesListController;
    QEVSliderCell* held = nullptr;

    ShownPane(int rows, bool groups) {
        registerPaneClasses();
        QVariantMap entries;
        for (int i = 0; i < 100; ++i)
            entries.insert(QString("unrelated%1").arg(i), QString("value %1").arg(i));
        PropertyList::writeDictionary(entries, root.hostPath(kPrefs));
        pane->setBundle(makeRowListBundle(root, makeRows(rows, groups)));
        window.resize(390, 844);
        window.setRootViewController(pane);
        window.makeKeyAndVisible();
        window.grab();
        held = qobject_cast<QEVSliderCell*>(pane->specifiers().at(1)->cell());
    }
};

void reportShare(benchmark::State& state, double seconds) {
    const double perTick = state.iterations() ? seconds / double(state.iterations()) : 0;
    state.counters["share_of_tick"] = perTick / 0.1;
    state.counters["rows"] = double(state.range(0));
    state.counters["groups"] = double(state.range(1));
}

void BM_HeldTick(benchmark::State& state) {
    ShownPane shown(int(state.range(0)), state.range(1) != 0);
    if (!shown.held) {
        state.SkipWithError("the held row has no slider cell");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        shown.held->incrementValue(); // what the timer's tick calls
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    reportShare(state, seconds);
}
BENCHMARK(BM_HeldTick)
    ->ArgsProduct({{50, 2000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

void BM_StoreOnly(benchmark::State& state) {
    ShownPane shown(int(state.range(0)), state.range(1) != 0);
    PSSpecifier* target = shown.pane->specifiers().at(1);
    float value = 0;
    double seconds = 0;
    for (auto _ : state) {
        value += 1.0f;
        const auto start = std::chrono::steady_clock::now();
        target->performSetterWithValue(QVariant(double(value)));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    reportShare(state, seconds);
}
BENCHMARK(BM_StoreOnly)
    ->ArgsProduct({{50, 2000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
