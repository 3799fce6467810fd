#include "ui/datum_menu_actions.h"

#include <QAction>
#include <QMenu>

namespace velmora::ui {

DatumMenuActions::DatumMenuActions(QMenu& menu, calc::Calculator& engine,
                                   std::function<void()> chosen)
    : QObject(&menu), m_engine(engine) {
    for (int i = 0; i < calc::kDatumEntryCount; ++i) {
        QAction* entry = nullptr;
        if (calc::IsDatumSeparator(i)) {
            entry = menu.addSeparator();
        } else {
            const std::string_view caption = calc::DatumCaption(i);
            entry = menu.addAction(
                QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
            entry->setCheckable(true);
            const auto index = static_cast<std::int16_t>(i);
            connect(entry, &QAction::triggered, this, [this, index, chosen] {
                m_engine.MenuDatum_Click(index);
                chosen();
            });
        }
        entry->setObjectName(QStringLiteral("MenuDatum"));
        entry->setProperty("index", i);
        m_actions[static_cast<std::size_t>(i)] = entry;
    }
}

void DatumMenuActions::sync() {
    for (std::size_t i = 0; i < m_actions.size(); ++i) {
        if (m_actions[i]->isCheckable())
            m_actions[i]->setChecked(m_engine.isDatumTicked(static_cast<int>(i)));
    }
}

}  // namespace velmora::ui
