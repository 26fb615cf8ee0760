// The pane's costs, each beside the baseline it is judged against, measured in one run; a table
// of the ratios is printed after the usual output.
//
// - A stored change: setPreferenceValue through a hosted, shown pane, up to every row height
//   asked again (the table's height pass runs synchronously in endUpdates), against one read
//   plus one atomic write of the same preference file. Panes of 50, 500 and 2,000 rows with
//   1,000 nested groups, or rows / 2 where the pane has fewer than 2,000 rows (a group needs a
//   controlling row and at least one row in it); files of 100 and 10,000 entries.
// - The same change on the old path (OldPathPane below): every height query scans every group
//   and every read parses the file again.
// - Opening a pane to its first painted frame, 2,000 rows against 50, with and without nested
//   groups (one per ten rows), the two opened in turn in one run; and reading the 2,000-row list's
//   XML, against libplist's parse.
// - One scroll callback (a new content offset, so the table places cells and the pane runs its
//   fades and banner), 2,000 rows against 50; and the same walking down the whole 2,000 rows,
//   so that cells for rows never seen before are made.
// - Peak memory (maximum resident set) of the Settings application rendering the 2,000-row
//   pane, against the same application rendering its entry list with no pane open. Each is a
//   child process; its peak comes from wait4.
// - Start: the Settings application opening the shipped pane and rendering it to a PNG, against
//   a bare Qt window of the same size rendering the same way; and render mode's wall time
//   against its CPU time.
#include "BenchBundle.h"
#include "tests/common/TempDeviceRoot.h"

#include "foundation/AtomicFile.h"
#include "foundation/DeviceRoot.h"
#include "foundation/NSBundle.h"
#include "foundation/PropertyList.h"
#include "foundation/XmlPropertyList.h"
#include "framework/QEVRootListController.h"
#include "pane/PaneRegistration.h"
#include "pane/TOLVPLAYERPreferencesListController.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UITableView.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <memory>
#include <optional>
#include <plist/plist.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

const QString kPrefs =
    QStringLiteral("/var/jb/var/mobile/Library/Preferences/com.qev.tolvplayerprefs.plist");

// ---- panes and files --------------------------------------------------------------------

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
                        {"cellClass", "QEVSwitchCell"},
                        {"label", QString("Row %1").arg(i)},
                        {"key", QString("row%1").arg(i)},
                        {"default", true}};
        if (span > 1 && i % span == 0 && i / span < groups)
            row.insert("nestedEntryCount", span - 1);
        items.append(row);
    }
    return items;
}

// 1,000 groups where the pane has room for them; else one per two rows.
int storedChangeGroups(int rows) {
    return std::min(1000, rows / 2);
}

QVariantMap makeEntries(int entries) {
    QVariantMap map;
    for (int i = 0; i < entries; ++i)
        map.insert(QString("unrelated%1").arg(i),
                   i % 3 == 0 ? QVariant(true) : QVariant(QString("value %1").arg(i)));
    return map;
}

// The pane as it was before its caches, made of the shipped pane's pieces: every height query
// scans every group in turn, and every read parses the preference file again; a height pass
// keeps nothing.
class OldPathPane : public TOLVPLAYERPreferencesListController {
public:
    void heightPassWillBegin(UITableView*) override {}
    void heightPassDidEnd(UITableView*) override {}
    QVariant readPreferenceValue(PSSpecifier* specifier) override {
        if (!specifier)
            return {};
        if (const std::optional<QString> key = entryKey(specifier)) {
            const QVariantMap entries =
                PropertyList::readDictionary(DeviceRoot::resolve(kPreferencesPath))
                    .value_or(QVariantMap());
            const auto found = entries.constFind(*key);
            if (found != entries.cend())
                return found.value();
        }
        return specifier->propertyForKey(QStringLiteral("default"));
    }
    double heightForRowAtIndexPath(UITableView* tableView, NSIndexPath indexPath) override {
        if (hasDynamicSpecifiers() && collapsingGroupByScan(specifierAtIndexPath(indexPath)))
            return 0.0;
        return PSListController::heightForRowAtIndexPath(tableView, indexPath);
    }
};

// A pane hosted as the Settings application hosts it (an outer navigation controller with
// the pane in one of its own), shown and painted once.
struct HostedPane {
    UIWindow window;
    TOLVPLAYERPreferencesListController* pane;
    // The window does not own its root controller; the host does, as the Settings app does.
    std::unique_ptr<UINavigationController> root;

    explicit HostedPane(NSBundle* bundle, bool oldPath = false)
        : pane(oldPath ? new OldPathPane : new TOLVPLAYERPreferencesListController) {
        pane->setBundle(bundle);
        root = std::make_unique<UINavigationController>(new UINavigationController(pane));
        window.resize(390, 844);
        window.setRootViewController(root.get());
        window.makeKeyAndVisible();
        window.grab();
    }
    ~HostedPane() {
        window.setRootViewController(nullptr);
        root.reset();
    }
    HostedPane(const HostedPane&) = delete;
    HostedPane& operator=(const HostedPane&) = delete;
};

// ---- a stored change ----------------------------------------------------------------------

void storedChange(benchmark::State& state, bool oldPath) {
    const int rows = int(state.range(0));
    const int groups = int(state.range(1));
    const int entries = int(state.range(2));
    TempDeviceRoot root;
    PropertyList::writeDictionary(makeEntries(entries), root.hostPath(kPrefs));
    HostedPane host(makeRowListBundle(root, makeRows(rows, groups)), oldPath);
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

void BM_StoredChange(benchmark::State& state) {
    storedChange(state, false);
}
void StoredChangeArguments(benchmark::internal::Benchmark* b) {
    for (int entries : {100, 10000})
        for (int rows : {50, 500, 2000})
            b->Args({rows, storedChangeGroups(rows), entries});
}
// A second each: a change with a 10,000-entry file takes a tenth of one or more.
BENCHMARK(BM_StoredChange)
    ->Apply(StoredChangeArguments)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// The old path took about a minute per change at 2,000 rows and 10,000 entries: one change.
void BM_StoredChangeOldPath(benchmark::State& state) {
    storedChange(state, true);
}
BENCHMARK(BM_StoredChangeOldPath)
    ->Args({2000, 1000, 100})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_StoredChangeOldPath)
    ->Args({2000, 1000, 10000})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor: read the file, set one entry, write it atomically.
void BM_ReadAndAtomicWrite(benchmark::State& state) {
    const int entries = int(state.range(0));
    TempDeviceRoot root;
    const QString path = root.hostPath(kPrefs);
    PropertyList::writeDictionary(makeEntries(entries), path);
    bool value = false;
    for (auto _ : state) {
        std::optional<QVariantMap> dictionary = PropertyList::readDictionary(path);
        if (!dictionary) {
            state.SkipWithError("the preference file could not be read");
            return;
        }
        dictionary->insert(QStringLiteral("row0"), value);
        value = !value;
        if (!AtomicFile::replace(path, PropertyList::toXml(*dictionary))) {
            state.SkipWithError("the preference file could not be written");
            return;
        }
    }
    state.counters["entries"] = entries;
}
BENCHMARK(BM_ReadAndAtomicWrite)
    ->Arg(100)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// ---- opening and scrolling ----------------------------------------------------------------

// CPU seconds this thread spent opening a pane of `items` to its first painted frame; making
// the bundle and closing the pane are not counted.
double timedOpen(const TempDeviceRoot& root, const QVariantList& items) {
    NSBundle* bundle = makeRowListBundle(root, items);
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    const double start = now();
    auto host = std::make_unique<HostedPane>(bundle);
    benchmark::DoNotOptimize(host.get());
    const double seconds = now() - start;
    host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// The big pane and the 50-row one opened in turn, first one then the other, so that a shared
// machine's load and the process's growing caches fall on both alike; the median open of each.
void BM_OpenSideBySide(benchmark::State& state) {
    const int rows = int(state.range(0));
    const int groups = int(state.range(1));
    TempDeviceRoot root;
    PropertyList::writeDictionary(makeEntries(100), root.hostPath(kPrefs));
    const QVariantList big = makeRows(rows, groups);
    const QVariantList small = makeRows(50, groups > 0 ? 5 : 0);
    std::vector<double> bigSeconds, smallSeconds;
    for (auto _ : state) {
        const bool bigFirst = bigSeconds.size() % 2 == 0;
        if (bigFirst)
            bigSeconds.push_back(timedOpen(root, big));
        smallSeconds.push_back(timedOpen(root, small));
        if (!bigFirst)
            bigSeconds.push_back(timedOpen(root, big));
    }
    state.counters["big_ms"] = median(bigSeconds) * 1e3;
    state.counters["small_ms"] = median(smallSeconds) * 1e3;
}
BENCHMARK(BM_OpenSideBySide)
    ->Args({2000, 200})
    ->Args({2000, 0})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// Reading the 2,000-row list before the first frame: XmlPropertyList's one pass into its index
// (rows become values only when asked for), against libplist's own parse of the same bytes into
// its tree and the tree's release, without the checks or the conversion to Qt values that
// reading through libplist also needs.
void BM_IndexRowList(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QByteArray xml = PropertyList::toXml(QVariantMap{{"items", makeRows(rows, rows / 10)}});
    for (auto _ : state)
        benchmark::DoNotOptimize(XmlPropertyList::read(xml));
}
BENCHMARK(BM_IndexRowList)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(0.3);

void BM_LibplistParseRowList(benchmark::State& state) {
    const int rows = int(state.range(0));
    const QByteArray xml = PropertyList::toXml(QVariantMap{{"items", makeRows(rows, rows / 10)}});
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
        benchmark::DoNotOptimize(root);
        plist_free(root);
    }
}
BENCHMARK(BM_LibplistParseRowList)->Arg(2000)->Unit(benchmark::kMillisecond)->MinTime(0.3);

// Offsets for the n-th scroll callback: back and forth between two places further apart than
// the screen is tall, or (walking) on down the list and back to the top at its end.
double scrollOffset(long long n, bool walk, double maximum) {
    if (!walk)
        return n % 2 == 0 ? 100.0 : 1000.0;
    const double y = double(n) * 97.0;
    return std::fmod(y, std::max(1.0, maximum));
}

void scrollCallback(benchmark::State& state, bool walk) {
    const int rows = int(state.range(0));
    TempDeviceRoot root;
    PropertyList::writeDictionary(makeEntries(100), root.hostPath(kPrefs));
    HostedPane host(makeRowListBundle(root, makeRows(rows, rows / 10)));
    UITableView* table = host.pane->table();
    const double maximum = table->maximumContentOffsetY();
    long long n = 0;
    for (auto _ : state) {
        table->setContentOffset(QPointF(0, scrollOffset(++n, walk, maximum)));
        // Cells the table lets go are deleted later, as the event loop would between frames.
        if (n % 64 == 0) {
            state.PauseTiming();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            state.ResumeTiming();
        }
    }
    state.counters["rows"] = rows;
}

void BM_ScrollCallback(benchmark::State& state) {
    scrollCallback(state, false);
}
BENCHMARK(BM_ScrollCallback)->Arg(50)->Arg(2000)->Unit(benchmark::kMicrosecond)->MinTime(0.3);

void BM_ScrollCallbackWalking(benchmark::State& state) {
    scrollCallback(state, true);
}
BENCHMARK(BM_ScrollCallbackWalking)->Arg(2000)->Unit(benchmark::kMicrosecond)->MinTime(0.3);

// ---- the Settings application's peak memory ---------------------------------------------

const QString kBundle = QStringLiteral("/var/jb/Library/PreferenceBundles/tolvplayerprefs.bundle");
const QString kEntries = QStringLiteral("/var/jb/Library/PreferenceLoader/Preferences");

bool copyTree(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        if (!QFile::copy(source.filePath(name), to + "/" + name))
            return false;
    for (const QString& name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (!copyTree(source.filePath(name), to + "/" + name))
            return false;
    return true;
}

// A device root laid out as the install step lays it out (the bundle's resources, its module
// from the build, the settings entry), with a row list of `rows` rows in place of the shipped
// one (none: the shipped one). Empty on failure.
QString installRoot(const QTemporaryDir& dir, int rows) {
    const QString bundle = dir.path() + kBundle;
    const bool ok =
        copyTree(QStringLiteral(QEV_SOURCE_DIR "/resources/bundle"), bundle) &&
        copyTree(QStringLiteral(QEV_SOURCE_DIR "/resources/entry"), dir.path() + kEntries) &&
        QFile::link(QStringLiteral(QEV_PANE_MODULE),
                    bundle + "/" + QFileInfo(QStringLiteral(QEV_PANE_MODULE)).fileName()) &&
        QDir().mkpath(QFileInfo(dir.path() + kPrefs).absolutePath());
    if (!ok)
        return {};
    if (rows > 0) {
        QFile::remove(bundle + "/Root.plist");
        QFile list(bundle + "/Root.plist");
        const QByteArray xml =
            PropertyList::toXml(QVariantMap{{"items", makeRows(rows, rows / 10)}});
        if (!list.open(QIODevice::WriteOnly) || list.write(xml) != xml.size())
            return {};
    }
    return PropertyList::writeDictionary(makeEntries(100), dir.path() + kPrefs) ? dir.path()
                                                                                : QString();
}

// Runs `argv` (null-terminated) with the given standard output and error; its exit status and
// resource use, or nothing when it could not be started.
std::optional<std::pair<int, rusage>> runChild(char* const* argv, const char* out,
                                               const char* err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out)
        posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err)
        posix_spawn_file_actions_addopen(&actions, 2, err, O_WRONLY | O_CREAT | O_APPEND, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return std::nullopt;
    return std::pair{status, usage};
}

// A child's peak resident set counts the high-water mark of the address space it was started
// from, so a child of this grown process would report this process's peak. A fresh copy of
// this program ("--peak-rss-of", before it makes anything) starts the Settings application
// from its own small address space and prints the application's peak in KiB.
constexpr char kPeakOption[] = "--peak-rss-of";

int runPeakLauncher(char** argv) {
    const std::optional<std::pair<int, rusage>> child = runChild(argv, "/dev/stderr", nullptr);
    if (!child || !WIFEXITED(child->first))
        return 1;
    std::printf("%ld\n", child->second.ru_maxrss);
    return WEXITSTATUS(child->first);
}

// Runs the application to its rendered frame; its peak resident set in KiB, or nothing when
// it could not be run or did not exit cleanly. Its output goes to `log`.
std::optional<long> settingsPeakKib(const QStringList& arguments, const QString& directory) {
    std::vector<QByteArray> bytes{QFile::encodeName(QCoreApplication::applicationFilePath()),
                                  QByteArray(kPeakOption), QByteArray(QEV_SETTINGS_BINARY)};
    for (const QString& argument : arguments)
        bytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QString peakPath = directory + "/peak.txt";
    const std::optional<std::pair<int, rusage>> child =
        runChild(argv.data(), QFile::encodeName(peakPath).constData(),
                 QFile::encodeName(directory + "/log.txt").constData());
    if (!child || !WIFEXITED(child->first) || WEXITSTATUS(child->first) != 0)
        return std::nullopt;
    QFile peak(peakPath);
    bool ok = false;
    const long kib = peak.open(QIODevice::ReadOnly) ? peak.readAll().trimmed().toLong(&ok) : 0;
    return ok && kib > 0 ? std::optional<long>(kib) : std::nullopt;
}

// Three runs; the median peak, in MiB, as the counter "peak_MiB".
void BM_SettingsPeakMemory(benchmark::State& state) {
    const bool openPane = state.range(0) != 0;
    QTemporaryDir dir;
    const QString root = installRoot(dir, 2000);
    if (root.isEmpty()) {
        state.SkipWithError("could not lay out a device root");
        return;
    }
    QStringList arguments{"--root", root, "--render", dir.filePath("frame.png")};
    if (openPane)
        arguments << "--open"
                  << "tolvplayerprefs";
    std::vector<double> peaks;
    for (auto _ : state) {
        for (int run = 0; run < 3; ++run) {
            const std::optional<long> peak = settingsPeakKib(arguments, dir.path());
            if (!peak || !QFileInfo(dir.filePath("frame.png")).size()) {
                state.SkipWithError(
                    "Settings did not render and exit cleanly (its log follows on stderr)");
                QFile log(dir.filePath("log.txt"));
                if (log.open(QIODevice::ReadOnly))
                    std::fputs(log.readAll().constData(), stderr);
                return;
            }
            peaks.push_back(double(*peak));
        }
    }
    state.counters["peak_MiB"] = median(peaks) / 1024.0;
    state.counters["pane_rows"] = openPane ? 2000 : 0;
}
BENCHMARK(BM_SettingsPeakMemory)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- start and render mode ------------------------------------------------------------------

double seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
}

// The whole process from exec to exit, rendering the first frame to a PNG: the Settings
// application opening the shipped pane (Arg 1), or the bare window of the same size (Arg 0).
// Fresh processes; the medians of nine runs of CPU time (user and system, from wait4) and of
// wall time.
void BM_StartToRenderedFrame(benchmark::State& state) {
    const bool settings = state.range(0) != 0;
    QTemporaryDir dir;
    const QString root = installRoot(dir, 0);
    const QByteArray png = QFile::encodeName(dir.filePath("frame.png"));
    std::vector<QByteArray> bytes{settings ? QByteArray(QEV_SETTINGS_BINARY)
                                           : QByteArray(QEV_BARE_WINDOW_BINARY)};
    if (settings)
        bytes.insert(bytes.end(),
                     {"--root", QFile::encodeName(root), "--open", "TOLVPlayer", "--render"});
    bytes.push_back(png);
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    std::vector<double> cpu, wall;
    for (auto _ : state) {
        for (int run = 0; run < 9; ++run) {
            QFile::remove(QFile::decodeName(png));
            QElapsedTimer clock;
            clock.start();
            const auto child = runChild(argv.data(), "/dev/null", "/dev/null");
            wall.push_back(double(clock.nsecsElapsed()) * 1e-9);
            if (root.isEmpty() || !child || !WIFEXITED(child->first) ||
                WEXITSTATUS(child->first) != 0 || !QFileInfo(QFile::decodeName(png)).size()) {
                state.SkipWithError("the program did not render and exit cleanly");
                return;
            }
            cpu.push_back(seconds(child->second.ru_utime) + seconds(child->second.ru_stime));
        }
    }
    state.counters["cpu_ms"] = median(cpu) * 1e3;
    state.counters["wall_ms"] = median(wall) * 1e3;
}
BENCHMARK(BM_StartToRenderedFrame)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// ---- the table of figures -------------------------------------------------------------------

// The console output as usual; each run kept by its name and arguments for the table.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if ((run.run_type == Run::RT_Iteration || run.aggregate_name == "median") &&
                !run.error_occurred && run.iterations > 0)
                _runs[run.run_name.function_name + "/" + run.run_name.args] = run;
    }

    // Seconds per iteration (wall or CPU), or a counter's value.
    std::optional<double> value(const std::string& key, const std::string& counter,
                                bool cpu) const {
        const auto found = _runs.find(key);
        if (found == _runs.end())
            return std::nullopt;
        const Run& run = found->second;
        if (counter.empty())
            return (cpu ? run.cpu_accumulated_time : run.real_accumulated_time) /
                   double(run.iterations);
        const auto c = run.counters.find(counter);
        return c == run.counters.end() ? std::nullopt : std::optional<double>(c->second.value);
    }

private:
    std::map<std::string, Run> _runs;
};

enum class Goal { None, AtMost, AtLeast };

struct Figure {
    std::string name;
    std::string key;
    std::string baselineKey;
    Goal goal = Goal::None;
    double limit = 0;
    std::string counter; // empty: time per iteration
    bool cpu = false;    // CPU time rather than wall time
    // A derived value: key + plus - minus, each taken the same way.
    std::string plus;
    std::string minus;
    std::string baselineCounter; // empty: the same as the value's
};

std::string formatTime(double seconds) {
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

std::string format(const Figure& figure, std::optional<double> v) {
    if (!v)
        return "not run";
    if (figure.counter == "peak_MiB") {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f MiB", *v);
        return text;
    }
    if (!figure.counter.empty())
        return formatTime(*v * 1e-3); // counters in milliseconds
    return formatTime(*v);
}

std::vector<Figure> figures() {
    std::vector<Figure> list;
    for (int entries : {100, 10000}) {
        for (int rows : {50, 500, 2000}) {
            const std::string args = std::to_string(rows) + "/" +
                                     std::to_string(storedChangeGroups(rows)) + "/" +
                                     std::to_string(entries);
            const bool goal = rows == 2000 && entries == 10000;
            list.push_back({"stored change " + args + " vs read+write", "BM_StoredChange/" + args,
                            "BM_ReadAndAtomicWrite/" + std::to_string(entries),
                            goal ? Goal::AtMost : Goal::None, goal ? 1.5 : 0});
        }
    }
    for (int entries : {100, 10000}) {
        const std::string args = "2000/1000/" + std::to_string(entries);
        const bool goal = entries == 10000;
        list.push_back({"old path " + args + " vs new (old/new)", "BM_StoredChangeOldPath/" + args,
                        "BM_StoredChange/" + args, goal ? Goal::AtLeast : Goal::None,
                        goal ? 100.0 : 0});
    }
    list.push_back({"open 2000 rows/200 groups vs 50/5, CPU",
                    "BM_OpenSideBySide/2000/200",
                    "BM_OpenSideBySide/2000/200",
                    Goal::AtMost,
                    1.5,
                    "big_ms",
                    false,
                    {},
                    {},
                    "small_ms"});
    list.push_back({"open 2000 rows/no groups vs 50/none, CPU",
                    "BM_OpenSideBySide/2000/0",
                    "BM_OpenSideBySide/2000/0",
                    Goal::None,
                    0,
                    "big_ms",
                    false,
                    {},
                    {},
                    "small_ms"});
    list.push_back({"index 2000-row list vs libplist's parse, CPU",
                    "BM_IndexRowList/2000",
                    "BM_LibplistParseRowList/2000",
                    Goal::None,
                    0,
                    {},
                    true});
    list.push_back({"scroll callback 2000 rows vs 50, CPU",
                    "BM_ScrollCallback/2000",
                    "BM_ScrollCallback/50",
                    Goal::None,
                    0,
                    {},
                    true});
    list.push_back({"scroll walking 2000 rows vs 50, CPU",
                    "BM_ScrollCallbackWalking/2000",
                    "BM_ScrollCallback/50",
                    Goal::None,
                    0,
                    {},
                    true});
    list.push_back({"Settings peak RSS, 2000-row pane vs none", "BM_SettingsPeakMemory/1",
                    "BM_SettingsPeakMemory/0", Goal::AtMost, 1.3, "peak_MiB"});
    list.push_back({"start: Settings --render vs bare window, CPU", "BM_StartToRenderedFrame/1",
                    "BM_StartToRenderedFrame/0", Goal::AtMost, 1.5, "cpu_ms"});
    // Render mode waits for nothing: its wall time is its CPU time and the process's start.
    list.push_back({"render: Settings --render wall vs its CPU",
                    "BM_StartToRenderedFrame/1",
                    "BM_StartToRenderedFrame/1",
                    Goal::None,
                    0,
                    "wall_ms",
                    false,
                    {},
                    {},
                    "cpu_ms"});
    return list;
}

void printFigures(const FigureReporter& reporter) {
    std::printf("\n%-44s | %10s | %10s | %8s | %6s | %s\n", "figure", "value", "baseline", "ratio",
                "goal", "met");
    std::printf("%s\n", std::string(44 + 10 + 10 + 8 + 6 + 4 + 5 * 3, '-').c_str());
    for (const Figure& figure : figures()) {
        std::optional<double> v = reporter.value(figure.key, figure.counter, figure.cpu);
        if (v && !figure.plus.empty()) {
            const std::optional<double> plus = reporter.value(figure.plus, {}, figure.cpu);
            const std::optional<double> minus = reporter.value(figure.minus, {}, figure.cpu);
            v = plus && minus ? std::optional<double>(*v + *plus - *minus) : std::nullopt;
        }
        const std::optional<double> base = reporter.value(
            figure.baselineKey,
            figure.baselineCounter.empty() ? figure.counter : figure.baselineCounter, figure.cpu);
        char ratio[32] = "-";
        char goal[32] = "-";
        const char* met = "-";
        if (v && base && *base > 0) {
            const double r = *v / *base;
            std::snprintf(ratio, sizeof ratio, r >= 100 ? "%.0fx" : "%.2fx", r);
            if (figure.goal == Goal::AtMost)
                met = r <= figure.limit ? "yes" : "NO";
            else if (figure.goal == Goal::AtLeast)
                met = r >= figure.limit ? "yes" : "NO";
        }
        if (figure.goal == Goal::AtMost)
            std::snprintf(goal, sizeof goal, "<=%gx", figure.limit);
        else if (figure.goal == Goal::AtLeast)
            std::snprintf(goal, sizeof goal, ">=%gx", figure.limit);
        std::printf("%-44s | %10s | %10s | %8s | %6s | %s\n", figure.name.c_str(),
                    format(figure, v).c_str(), format(figure, base).c_str(), ratio, goal, met);
    }
    std::printf(
        "Times per call: wall time for stored changes (their fsyncs wait on the disk), CPU\n"
        "time where marked (steadier on a shared machine). Memory: the median of three\n"
        "runs of the Settings application rendering one frame.\n");
    std::fflush(stdout);
}

// The offscreen platform says so each time a window is shown; nothing here needs it.
QtMessageHandler previousHandler = nullptr;
void dropRaiseWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text != QLatin1String("This plugin does not support raise()"))
        previousHandler(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], kPeakOption) == 0)
        return runPeakLauncher(argv + 2);
    // The Settings children inherit the platform too.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    previousHandler = qInstallMessageHandler(dropRaiseWarning);
    registerPaneClasses();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printFigures(reporter);
    benchmark::Shutdown();
    return 0;
}
