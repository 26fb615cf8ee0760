// The pane's spine, as a baseline before any caching: the cost of one stored change (write
// the preference file, recompute every row height, announce) and of opening a pane to its
// first painted frame. Every height query scans every nested group and rereads the preference
// file for each group holding the row, so the figures grow with rows x groups x file size.
// The "no groups" runs are the same change without nested groups: the table is not touched,
// which is the floor the nested groups add to.
#include "BenchBundle.h"
#include "tests/common/TempDeviceRoot.h"

#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString kPrefs =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");

// `rows` switch rows in sections of 20; `groups` of them control the rows after them, in
// runs that do not overlap, all switched on so that every row stays visible.
QVariantList makeRows(int rows, int groups) {
    QVariantList items;
    const int span = groups > 0 ? rows / groups : 0;
    for (int i = 0; i < rows; ++i) {
        if (i % 20 == 0)
            items.append(
                QVariantMap{{"cell", "PSGroupCell"}, {"label", QString("Section %1").arg(i / 20)}});
        QVariantMap row{{"cell", "PSSwitchCell"},
                        {"label", QString("Row %1").arg(i)},
                        {"key", QString("row%1").arg(i)},
                        {"default", true}};
        if (span > 0 && i % span == 0 && i / span < groups)
            row.insert("nestedEntryCount", span - 1);
        items.append(row);
    }
    return items;
}

QVariantMap makeEntries(int entries) {
    QVariantMap map;
    for (int i = 0; i < entries; ++i)
        map.insert(QString("unrelated%1").arg(i),
                   i % 3 == 0 ? QVariant(true) : QVariant(QString("value %1").arg(i)));
    return map;
}

// A pane hosted as the Settings application hosts it, shown and painted once.
struct HostedPane {
    UIWindow window;
    TOLVPLAYERPreferencesListController* pane = new TOLVPLAYERPreferencesListController;

    explicit HostedPane(NSBundle* bundle) {
        pane->setBundle(bundle);
        window.resize(390, 844);
        window.setRootViewController(new UINavigationController(new UINavigationController(pane)));
        window.makeKeyAndVisible();
        window.grab();
    }
};

void BM_StoredChange(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int groups = int(state.range(1));
    const int entries = int(state.range(2));
    TempDeviceRoot root;
    PropertyList::writeDictionary(makeEntries(entries), root.hostPath(kPrefs));
    HostedPane host(makeRowListBundle(root, makeRows(rows, groups)));
    // A row that controls nothing, so no row collapses while its value toggles.
    PSSpecifier* target = host.pane->specifiers().last();
    bool value = false;
    for (auto _ : state) {
        host.pane->setPreferenceValue(value, target);
        value = !value;
    }
    state.counters["rows"] = rows;
    state.counters["groups"] = groups;
    state.counters["entries"] = entries;
}

void StoredChangeArguments(benchmark::internal::Benchmark* b) {
    for (int entries : {100, 10000}) {
        for (int rows : {50, 500, 2000}) {
            b->Args({rows, 0, entries});
            for (int groups : {10, 100, 1000})
                if (groups < rows)
                    b->Args({rows, groups, entries});
        }
    }
}
BENCHMARK(BM_StoredChange)
    ->Apply(StoredChangeArguments)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

void BM_OpenToFirstFrame(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int groups = int(state.range(1));
    TempDeviceRoot root;
    PropertyList::writeDictionary(makeEntries(100), root.hostPath(kPrefs));
    const QVariantList items = makeRows(rows, groups);
    for (auto _ : state) {
        state.PauseTiming();
        NSBundle* bundle = makeRowListBundle(root, items);
        state.ResumeTiming();
        auto host = std::make_unique<HostedPane>(bundle);
        benchmark::DoNotOptimize(host.get());
        state.PauseTiming();
        host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["groups"] = groups;
}
// Without groups (the floor) and with one group per ten rows.
BENCHMARK(BM_OpenToFirstFrame)
    ->Args({50, 0})
    ->Args({50, 5})
    ->Args({2000, 0})
    ->Args({2000, 200})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
