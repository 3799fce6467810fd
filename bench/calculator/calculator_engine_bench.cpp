// Engine actions per second on a user's mix of keys, and the cost of one action that writes a
// history line when the history already holds many lines (appending must not grow with it).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "calculator/calculator.h"
#include "calculator/keys.h"
#include "fake_view.h"

namespace {

using velmora::calc::Calculator;

class DefaultPrompts : public velmora::calc::UserPrompts {
public:
    std::string InputBox(std::string_view, std::string_view, std::string_view reply) override {
        return std::string(reply);
    }
    void CriticalMessage(std::string_view, std::string_view) override {}
};

struct Engine {
    velmora::calc::testing::FakeView view;
    DefaultPrompts prompts;
    Calculator calc{view, prompts, velmora::calc::UserLocale{}};
    std::int64_t actions = 0;

    Engine() {
        calc.StartUp();
        calc.FinishStartUp();
    }
    void type(std::string_view text) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (static_cast<unsigned char>(text[i]) == 0xC2)
                continue;  // lead byte of the degree mark
            calc.Form_KeyPress(static_cast<unsigned char>(text[i]));
            ++actions;
        }
    }
    void keys(std::initializer_list<int> indices) {
        for (const int index : indices) calc.Lab_Num_Click(static_cast<std::int16_t>(index));
        actions += static_cast<std::int64_t>(indices.size());
    }
    void selector(std::initializer_list<int> indices) {
        for (const int index : indices) calc.Lab_Sel_Click(static_cast<std::int16_t>(index));
        actions += static_cast<std::int64_t>(indices.size());
    }
};

// One round of a user's work: four coordinates typed and entered, Calculate, the result
// re-expressed in two units, a format change, a datum change that recalculates, Clear.
void BM_RealisticMix(benchmark::State& benchState) {
    namespace c = velmora::calc;
    Engine e;
    for (auto _ : benchState) {
        e.selector({c::kSelLatitudeA, c::kSelNorth});
        e.type(
            "50\xC2\xB0"
            "3'59\"");
        e.keys({c::kKeyEnter});
        e.selector({c::kSelLongitudeA, c::kSelWest});
        e.type(
            "5\xC2\xB0"
            "42'53\"\r");
        e.selector({c::kSelLatitudeB});
        e.type(
            "58\xC2\xB0"
            "38'35\"\r");
        e.selector({c::kSelLongitudeB, c::kSelWest});
        e.type(
            "3\xC2\xB0"
            "4'12\"\r=");
        e.selector({c::kSelStatuteMiles, c::kSelKilometres, c::kSelDegrees, c::kSelDegMinSec});
        e.calc.MenuDatum_Click(e.actions % 2 == 0 ? 2 : 16);
        ++e.actions;
        e.keys({c::kKeyCancel, c::kKeyClear});
    }
    benchState.SetItemsProcessed(e.actions);
}
BENCHMARK(BM_RealisticMix);

// A format key press writes one line; measured with the given number of lines already there.
void BM_ActionWithLongHistory(benchmark::State& benchState) {
    Engine e;
    const auto lines = static_cast<std::size_t>(benchState.range(0));
    while (e.calc.history().size() < lines) e.calc.Lab_Sel_Click(velmora::calc::kSelDegMin);
    for (auto _ : benchState) e.calc.Lab_Sel_Click(velmora::calc::kSelDegMin);
    benchState.SetItemsProcessed(benchState.iterations());
}
BENCHMARK(BM_ActionWithLongHistory)->Arg(0)->Arg(100'000);

}  // namespace

BENCHMARK_MAIN();
