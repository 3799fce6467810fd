#pragma once

#include <QDialog>
#include <QPointer>

#include "desktop/services.h"

class QLabel;
class QPushButton;

namespace velmora::ui {

class ClickableLabel;
class HoverArea;
class PictureBox;

// The About box: title, version, legal notice and warning, and the contact address that opens
// a new mail message. Created hidden once per run and only shown and hidden afterwards. It is
// not modal: while it is up, the main window is disabled instead.
class Frm_About : public QDialog {
    Q_OBJECT
public:
    Frm_About(QWidget& mainWindow, desktop::MailLink& mail);

    // Disables the main window and shows the box centred on it.
    void showOver();
    // Hides the box and gives the main window back its input and focus.
    void cmdOK_Click();

    void Lab_EMail_MouseMove();
    void Img_EMail_MouseMove();
    void Lab_EMail_Click();

    PictureBox* logo() const { return m_logo; }
    QLabel* productNameLabel() const { return m_productName; }
    QLabel* versionLabel() const { return m_version; }
    QLabel* emailLabel() const;
    QPushButton* okButton() const { return m_ok; }

public slots:
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();

    QWidget& m_mainWindow;
    desktop::MailLink& m_mail;
    PictureBox* m_logo = nullptr;
    QLabel* m_productName = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_copy = nullptr;
    QLabel* m_warning = nullptr;
    HoverArea* m_emailArea = nullptr;
    ClickableLabel* m_email = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace velmora::ui
