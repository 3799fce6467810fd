#pragma once

#include <QObject>

#include <array>
#include <functional>

#include "calculator/calculator.h"
#include "calculator/datum_menu.h"

class QAction;
class QMenu;

// The Datum menu: one checkable entry a named datum and "Other...", the separators of the
// calculator's menu table, every entry delivering its index to MenuDatum_Click; the ticks drawn
// from the calculator.
namespace velmora::ui {

class DatumMenuActions : public QObject {
    Q_OBJECT
public:
    // Fills menu; chosen runs after the calculator has taken a choice (the window redraws).
    DatumMenuActions(QMenu& menu, calc::Calculator& engine, std::function<void()> chosen);

    // The ticks as the calculator holds them.
    void sync();
    QAction* action(int index) const { return m_actions.at(static_cast<std::size_t>(index)); }

private:
    calc::Calculator& m_engine;
    std::array<QAction*, calc::kDatumEntryCount> m_actions{};
};

}  // namespace velmora::ui
