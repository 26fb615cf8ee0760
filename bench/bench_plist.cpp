// Preference files of 10 to 10,000 entries: our reading and writing against libplist itself
// on the same bytes in memory. Our figures include what libplist's alone do not: the guard
// scan, the conversion to and from QVariant, and for files the read, or the durable write
// (temporary file, fsync, rename, directory fsync). A summary of the ratios ours / libplist
// follows the table.
#include "foundation/PropertyList.h"
#include "tests/common/LibplistBinary.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <plist/plist.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

QVariantMap preferences(int entries) {
    QVariantMap dict;
    for (int i = 0; i < entries; ++i) {
        const QString key = QStringLiteral("key%1").arg(i);
        switch (i % 4) {
        case 0:
            dict.insert(key, i % 8 == 0);
            break;
        case 1:
            dict.insert(key, qint64(i) * 1000 - 7);
            break;
        case 2:
            dict.insert(key, double(i) / 7.0);
            break;
        default:
            dict.insert(key, QStringLiteral("#%1").arg(i * 2654435761u % 0xFFFFFF, 6, 16,
                                                       QLatin1Char('0')));
            break;
        }
    }
    return dict;
}

QByteArray xmlOf(int entries) {
    return PropertyList::toXml(preferences(entries));
}

void BM_Parse_Ours(benchmark::State& state) {
    const QByteArray xml = xmlOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::parse(xml));
}

void BM_Parse_Libplist(benchmark::State& state) {
    const QByteArray xml = xmlOf(int(state.range(0)));
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
        benchmark::DoNotOptimize(root);
        plist_free(root);
    }
}

void BM_ReadFile_Ours(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    PropertyList::writeDictionary(preferences(int(state.range(0))), path);
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::readDictionary(path));
}

void BM_Serialise_Ours(benchmark::State& state) {
    const QVariantMap dict = preferences(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::toXml(dict));
}

void BM_Serialise_Libplist(benchmark::State& state) {
    const QByteArray xml = xmlOf(int(state.range(0)));
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    for (auto _ : state) {
        char* out = nullptr;
        uint32_t length = 0;
        plist_to_xml(root, &out, &length);
        benchmark::DoNotOptimize(out);
        std::free(out);
    }
    plist_free(root);
}

void BM_WriteFile_Ours(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("prefs.plist");
    const QVariantMap dict = preferences(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::writeDictionary(dict, path));
}

// A binary list of small dictionaries, the shape of a row list. libplist indexes the arrays it
// reads from XML but not those it reads from the binary form, so this shape is where walking an
// array by index costs the square of its length.
QByteArray binaryListOf(int items) {
    QVariantList list;
    for (int i = 0; i < items; ++i)
        list.append(QVariantMap{{"row", i}, {"label", QStringLiteral("Row %1").arg(i)}});
    return libplistBinary(list);
}

void BM_ParseBinaryList_Ours(benchmark::State& state) {
    const QByteArray binary = binaryListOf(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::parse(binary));
}

void BM_ParseBinaryList_Libplist(benchmark::State& state) {
    const QByteArray binary = binaryListOf(int(state.range(0)));
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_bin(binary.constData(), uint32_t(binary.size()), &root);
        benchmark::DoNotOptimize(root);
        plist_free(root);
    }
}

#define SIZES ->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)
BENCHMARK(BM_ParseBinaryList_Libplist) SIZES;
BENCHMARK(BM_ParseBinaryList_Ours) SIZES;
BENCHMARK(BM_Parse_Libplist) SIZES;
BENCHMARK(BM_Parse_Ours) SIZES;
BENCHMARK(BM_ReadFile_Ours) SIZES;
BENCHMARK(BM_Serialise_Libplist) SIZES;
BENCHMARK(BM_Serialise_Ours) SIZES;
BENCHMARK(BM_WriteFile_Ours) SIZES;

// Prints, after the usual table, each of our figures divided by libplist's for the same size,
// by wall time (what a user waits, fsync included) and by CPU time (steadier on a busy machine).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                _real[run.benchmark_name()] = run.GetAdjustedRealTime();
                _cpu[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        printTable("wall", _real);
        printTable("cpu", _cpu);
    }

private:
    using Times = std::map<std::string, double>;

    static void printTable(const char* clock, Times& times) {
        std::printf("\nratio ours / libplist, %s time (libplist on the same bytes in memory)\n",
                    clock);
        std::printf("%-8s %12s %12s %12s %12s\n", "entries", "parse", "read file", "serialise",
                    "write file");
        for (const char* size : {"10", "100", "1000", "10000"}) {
            auto ratio = [&](const char* ours, const char* base) {
                const double b = times[std::string(base) + "/" + size];
                return b > 0 ? times[std::string(ours) + "/" + size] / b : 0.0;
            };
            std::printf("%-8s %12.2f %12.2f %12.2f %12.2f\n", size,
                        ratio("BM_Parse_Ours", "BM_Parse_Libplist"),
                        ratio("BM_ReadFile_Ours", "BM_Parse_Libplist"),
                        ratio("BM_Serialise_Ours", "BM_Serialise_Libplist"),
                        ratio("BM_WriteFile_Ours", "BM_Serialise_Libplist"));
        }
    }

    Times _real;
    Times _cpu;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
