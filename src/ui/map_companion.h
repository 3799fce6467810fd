#pragma once

#include <QObject>

#include <functional>
#include <memory>

#include "ui/map_scene.h"

class QAction;
class QWidget;

// The map window beside the calculator: made when first shown (nothing of it before), placed
// where it was last or else beside the calculator, on the calculator's screen either way; its
// tick and place remembered. Closing it clears the tick.
namespace velmora::ui {

class MapWindow;
class RememberedTicks;

class MapCompanion : public QObject {
    Q_OBJECT
public:
    // input: what the map shows now, asked for only while the window is on screen.
    MapCompanion(QWidget& calculator, QAction& tick, RememberedTicks& ticks,
                 std::function<MapInput()> input);
    ~MapCompanion() override;

    // The tick as remembered, and the window opened with it.
    void restore();
    // The tick as the user just set it: remembered, and the window shown or hidden.
    void follow();
    // Redraws from the calculator when the window is on screen (the map itself skips a drawing
    // when nothing it shows changed).
    void update();

    MapWindow* window() const { return m_window.get(); }

private:
    void open();

    QWidget& m_calculator;
    QAction& m_tick;
    RememberedTicks& m_ticks;
    std::function<MapInput()> m_input;
    std::unique_ptr<MapWindow> m_window;
};

}  // namespace velmora::ui
