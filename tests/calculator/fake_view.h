#pragma once

#include <cstddef>
#include <vector>

#include "calculator/calculator_view.h"

// The window as the engine's tests, fuzz target and benchmark see it: it records what the
// engine tells it, and the selection is set by the caller. No test framework needed.
namespace velmora::calc::testing {

class FakeView : public CalculatorView {
public:
    void historyLineAppended() override { ++appended; }
    void historyCleared() override { ++cleared; }
    void makeLineCurrent(int line) override { currentLine = line; }
    void deselectAllLines() override { selection.clear(); }
    std::vector<std::size_t> selectedLines() const override { return selection; }
    void processPendingEvents() override { ++pendingEventRuns; }
    void refresh() override { ++refreshes; }
    void focusMainWindow() override { ++focusRequests; }

    int appended = 0;
    int cleared = 0;
    int currentLine = -2;  // -2: never set
    int pendingEventRuns = 0;
    int refreshes = 0;
    int focusRequests = 0;
    std::vector<std::size_t> selection;
};

}  // namespace velmora::calc::testing
