#include "ui/message_boxes.h"

#include <QInputDialog>
#include <QMessageBox>

namespace velmora::ui {

namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void showMessage(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                 const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

}  // namespace

std::string DialogPrompts::InputBox(std::string_view title, std::string_view prompt,
                                    std::string_view defaultReply) {
    QInputDialog dialog(m_owner);
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(fromUtf8(title));
    dialog.setLabelText(fromUtf8(prompt));
    dialog.setTextValue(fromUtf8(defaultReply));
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.textValue().toStdString();
}

void DialogPrompts::CriticalMessage(std::string_view title, std::string_view text) {
    showMessage(m_owner, QMessageBox::Critical, fromUtf8(title), fromUtf8(text));
}

void MessageBoxWarnings::exclamation(const QString& title, const QString& text) {
    showMessage(m_owner, QMessageBox::Warning, title, text);
}

void MessageBoxWarnings::critical(const QString& title, const QString& text) {
    showMessage(m_owner, QMessageBox::Critical, title, text);
}

}  // namespace velmora::ui
