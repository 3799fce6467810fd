// The history list at length: the cost of one line appended, made current and painted with
// 100,000 lines already in the list, and of 100,000 appends in a row. Runs the real window
// offscreen; the platform services are the real ones, pointed at a scratch home folder.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "calculator/calculator.h"
#include "desktop/platform_services.h"
#include "ui/calcolatrice.h"

namespace {

using velmora::calc::Calculator;

constexpr int kLongHistory = 100'000;
// The "km" and "mi" selector keys: pressing them in turn writes one history line per press.
constexpr std::int16_t kKmKey = 8;
constexpr std::int16_t kMiKey = 9;

struct Window {
    std::unique_ptr<velmora::desktop::PlatformServices> platform =
        velmora::desktop::makePlatformServices();
    velmora::ui::Calcolatrice window{platform->services()};
    Window() {
        window.Form_Load();
        window.show();
        QCoreApplication::processEvents();
    }
    Calculator& engine() { return window.engine(); }
};

// Alternates the unit keys so that every press writes a line.
void appendLines(Calculator& engine, int count, int& parity) {
    for (int i = 0; i < count; ++i) {
        engine.Lab_Sel_Click((parity++ % 2 == 0) ? kMiKey : kKmKey);
    }
}

void BM_AppendMakeCurrentAndPaintAtLength(benchmark::State& state) {
    Window w;
    int parity = 0;
    appendLines(w.engine(), kLongHistory, parity);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        appendLines(w.engine(), 1, parity);
        QCoreApplication::processEvents();  // the current line, scrolling and the repaint
    }
    state.counters["lines"] = static_cast<double>(w.engine().history().size());
}
BENCHMARK(BM_AppendMakeCurrentAndPaintAtLength)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HundredThousandAppends(benchmark::State& state) {
    Window w;
    int parity = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.engine().Lab_Num_Click(14);  // "Clear"
        QCoreApplication::processEvents();
        state.ResumeTiming();
        appendLines(w.engine(), kLongHistory, parity);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_HundredThousandAppends)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
