#pragma once

#include <QString>

#include "desktop/services.h"
#include "desktop/settings_store.h"

// The ticks and places kept between runs (the registry on Windows, ~/.config/Velmora/velmora.conf
// elsewhere), and the one warning of a run in which one of them could not be saved.
namespace velmora::ui {

inline const QString kShowAzimuthsKey = QStringLiteral("Extras/ShowAzimuths");
inline const QString kExactSolutionKey = QStringLiteral("Extras/ExactSolutionNearAntipodes");
inline const QString kShowMidpointKey = QStringLiteral("Extras/ShowMidpoint");
inline const QString kMapShownKey = QStringLiteral("Map/Shown");
inline const QString kMapGeometryKey = QStringLiteral("Map/Geometry");  // "WIDTHxHEIGHT+X+Y"

class RememberedTicks {
public:
    explicit RememberedTicks(desktop::Warnings& warnings) : m_warnings(warnings) {}

    bool value(const QString& key) const { return m_store.value(key, false); }
    // The first tick of the run that cannot be saved says so once; the tick stays as clicked.
    void remember(const QString& key, bool ticked) {
        desktop::RememberTick(m_store, m_warnings, m_failureShown, key, ticked);
    }
    QString text(const QString& key) const { return m_store.text(key, {}); }
    void setText(const QString& key, const QString& value) { m_store.setText(key, value); }

private:
    desktop::SettingsStore m_store;
    desktop::Warnings& m_warnings;
    bool m_failureShown = false;
};

}  // namespace velmora::ui
