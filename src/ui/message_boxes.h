#pragma once

#include <QPointer>
#include <QWidget>

#include <string>
#include <string_view>

#include "desktop/services.h"
#include "calculator/custom_datum.h"

namespace velmora::ui {

// The custom datum dialog's boxes: a modal input box and a critical message box, both kept in
// front of every other window.
class DialogPrompts : public calc::UserPrompts {
public:
    explicit DialogPrompts(QWidget* owner) : m_owner(owner) {}

    std::string InputBox(std::string_view title, std::string_view prompt,
                         std::string_view defaultReply) override;
    void CriticalMessage(std::string_view title, std::string_view text) override;

private:
    QPointer<QWidget> m_owner;
};

// The auto-start warnings as modal message boxes in front of every other window.
class MessageBoxWarnings : public desktop::Warnings {
public:
    explicit MessageBoxWarnings(QWidget* owner) : m_owner(owner) {}

    void exclamation(const QString& title, const QString& text) override;
    void critical(const QString& title, const QString& text) override;

private:
    QPointer<QWidget> m_owner;
};

}  // namespace velmora::ui
