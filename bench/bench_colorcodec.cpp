// The colour codec's three operations over a mix of stored colour strings, in ns per call. The
// baselines are Qt's own hex colour parsing and formatting (QColor::fromString, QColor::name) on
// the same mix: the codec should be of the same order.
#include "cells/QEVColorCodec.h"

#include <QColor>
#include <QStringList>
#include <benchmark/benchmark.h>

namespace {

// What rows store and what users type: both written forms, lower case, percentages, junk.
const QStringList& mixedHex() {
    static const QStringList inputs = {
        QStringLiteral("#FF0000"),     QStringLiteral("#336699FF"),  QStringLiteral("#ff000080"),
        QStringLiteral("FF0000:50"),   QStringLiteral("#00FF00:20"), QStringLiteral("F00"),
        QStringLiteral("12:34:56"),    QStringLiteral(""),           QStringLiteral(" FF0000"),
        QStringLiteral("#FF0000:150"), QStringLiteral("0xff0000"),   QStringLiteral("#007FFF"),
    };
    return inputs;
}

// Qt's parser accepts only #RGB... forms, so its mix is the same colours in that form.
const QStringList& mixedQtNames() {
    static const QStringList inputs = {
        QStringLiteral("#FF0000"),   QStringLiteral("#FF336699"), QStringLiteral("#80ff0000"),
        QStringLiteral("#7FFF0000"), QStringLiteral("#3300FF00"), QStringLiteral("#F00"),
        QStringLiteral("#0012FF"),   QStringLiteral(""),          QStringLiteral("#00FF00"),
        QStringLiteral("#FFFFFF"),   QStringLiteral("#00FF00"),   QStringLiteral("#007FFF"),
    };
    return inputs;
}

const QList<QEVColor>& mixedColors() {
    static const QList<QEVColor> colors = {
        {1, 0, 0, 1},     {0.2, 0.4, 0.6, 1},     {1, 0, 0, 0.5}, {0, 0.5, 1, 1},
        {0.999, 0, 0, 0}, {128 / 255.0, 0, 0, 1}, {1.5, 0, 0, 1}, {-0.1, 0, 0, 1},
    };
    return colors;
}

template <typename Input, typename Operation>
void runOverMix(benchmark::State& state, const QList<Input>& inputs, Operation operation) {
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(operation(inputs.at(i)));
        i = (i + 1) % inputs.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_colorFromHex(benchmark::State& state) {
    runOverMix(state, mixedHex(),
               [](const QString& hex) { return QEVColorCodec::colorFromHex(hex, true); });
}

void BM_Baseline_QColorFromString(benchmark::State& state) {
    runOverMix(state, mixedQtNames(), [](const QString& name) { return QColor::fromString(name); });
}

void BM_hexFromColor(benchmark::State& state) {
    runOverMix(state, mixedColors(),
               [](const QEVColor& color) { return QEVColorCodec::hexFromColor(color, true); });
}

void BM_Baseline_QColorName(benchmark::State& state) {
    QList<QColor> colors;
    for (const QEVColor& color : mixedColors())
        colors.append(color.toQColor());
    runOverMix(state, colors, [](const QColor& color) { return color.name(QColor::HexArgb); });
}

void BM_legibleStringFromHex(benchmark::State& state) {
    runOverMix(state, mixedHex(),
               [](const QString& hex) { return QEVColorCodec::legibleStringFromHex(hex); });
}

} // namespace

BENCHMARK(BM_colorFromHex);
BENCHMARK(BM_Baseline_QColorFromString);
BENCHMARK(BM_hexFromColor);
BENCHMARK(BM_Baseline_QColorName);
BENCHMARK(BM_legibleStringFromHex);

BENCHMARK_MAIN();
