#pragma once

#include <cstddef>
#include <vector>

namespace velmora::calc {

// What the window must do beyond redrawing from the engine. All calls come from inside an
// engine handler, on the user-interface thread.
class CalculatorView {
public:
    virtual ~CalculatorView() = default;
    virtual void historyLineAppended() = 0;  // history().back() is new
    virtual void historyCleared() = 0;
    virtual void makeLineCurrent(int line) = 0;  // scroll into view; -1: no current line
    virtual void deselectAllLines() = 0;
    virtual std::vector<std::size_t> selectedLines() const = 0;  // ascending
    virtual void processPendingEvents() = 0;                     // let paints run; never user input
    virtual void refresh() = 0;  // display, keys, pictures or ticks changed
    virtual void focusMainWindow() = 0;
};

}  // namespace velmora::calc
