#pragma once

#include "desktop/services.h"

#include <QString>
#include <QStringList>

namespace velmora::desktop::testing {

// Records the warnings instead of showing message boxes: "exclamation|title|text" per call.
class FakeWarnings : public Warnings {
public:
    void exclamation(const QString& title, const QString& text) override {
        shown += QStringLiteral("exclamation|") + title + u'|' + text;
    }
    void critical(const QString& title, const QString& text) override {
        shown += QStringLiteral("critical|") + title + u'|' + text;
    }

    QStringList shown;
};

}  // namespace velmora::desktop::testing
