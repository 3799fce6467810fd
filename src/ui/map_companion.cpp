#include "ui/map_companion.h"

#include <QAction>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "ui/map_window.h"
#include "ui/remembered_ticks.h"

namespace velmora::ui {

namespace {

constexpr int kGapPixels = 12;         // between the calculator and the map beside it
constexpr QSize kFirstSize{480, 520};  // pixels, before the user has sized it

}  // namespace

MapCompanion::MapCompanion(QWidget& calculator, QAction& tick, RememberedTicks& ticks,
                           std::function<MapInput()> input)
    : m_calculator(calculator), m_tick(tick), m_ticks(ticks), m_input(std::move(input)) {}

MapCompanion::~MapCompanion() = default;

void MapCompanion::restore() {
    m_tick.setChecked(m_ticks.value(kMapShownKey));
    if (m_tick.isChecked()) open();
}

void MapCompanion::follow() {
    const bool ticked = m_tick.isChecked();
    m_ticks.remember(kMapShownKey, ticked);
    if (ticked) {
        open();
    } else if (m_window) {
        m_window->hide();
    }
}

void MapCompanion::update() {
    if (m_window && m_window->isVisible()) m_window->showInput(m_input());
}

void MapCompanion::open() {
    if (!m_window) {
        m_window = std::make_unique<MapWindow>();
        m_window->setWindowIcon(m_calculator.windowIcon());
        connect(m_window.get(), &MapWindow::closed, this, [this] {
            m_tick.setChecked(false);
            m_ticks.remember(kMapShownKey, false);
        });
        connect(m_window.get(), &MapWindow::geometryChanged, this,
                [this] { m_ticks.setText(kMapGeometryKey, GeometryText(m_window->geometry())); });
        QRect place =
            ParseGeometryText(m_ticks.text(kMapGeometryKey))
                .value_or(QRect(m_calculator.frameGeometry().topRight() + QPoint(kGapPixels, 0),
                                kFirstSize));
        if (const QScreen* screen = m_calculator.screen()) {
            const QRect free = screen->availableGeometry();
            place.setSize(place.size().boundedTo(free.size()));
            place.moveLeft(std::clamp(place.left(), free.left(), free.right() + 1 - place.width()));
            place.moveTop(std::clamp(place.top(), free.top(), free.bottom() + 1 - place.height()));
        }
        m_window->setGeometry(place);
    }
    m_window->show();
    update();
}

}  // namespace velmora::ui
