#include "ui/frm_about.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include "app_info.h"
#include "picture_paths.h"
#include "ui/key_label.h"
#include "ui/twips.h"

namespace velmora::ui {

namespace {

constexpr int kClientWidthTwips = 6195;
constexpr int kClientHeightTwips = 3285;

constexpr TwipsRect kLogoRect{0, 0, 6195, 1155};
constexpr TwipsRect kProductNameRect{0, 120, 6135, 735};
constexpr TwipsRect kVersionRect{0, 720, 6210, 240};
constexpr TwipsRect kCopyRect{0, 1275, 6255, 285};
constexpr TwipsRect kWarningRect{120, 1800, 4455, 1215};
constexpr TwipsRect kCreditRect{120, 2610, 4455, 210};  // beneath the licence notice
constexpr TwipsRect kEmailAreaRect{0, 2640, 4575, 615};
constexpr TwipsRect kEmailRect{120, 3000, 1500, 210};
constexpr TwipsRect kOkRect{4800, 2850, 1260, 345};

// The etched separator Line1: a grey line over a white one.
constexpr TwipsLine kLine1[] = {
    {120, 1635, 6075, 1635, 128, 128, 128},
    {120, 1650, 6075, 1650, 255, 255, 255},
};

const QColor kNavy(0, 0, 128);
// The light dialog face the navy notices and the etched separator are drawn on, whatever the
// theme; the OK button keeps the theme's look.
const QColor kDialogFace(240, 240, 240);

QLabel* makeLabel(QWidget* parent, const TwipsRect& rect, const QFont& font, const QColor& color,
                  Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setGeometry(toPixels(rect));
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAlignment(alignment);
    return label;
}

}  // namespace

Frm_About::Frm_About(QWidget& mainWindow, desktop::MailLink& mail)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_mainWindow(mainWindow),
      m_mail(mail) {
    setObjectName(QStringLiteral("Frm_About"));
    setWindowTitle(QStringLiteral("About program..."));
    setWindowIcon(QIcon(QString::fromLatin1(res::kInformation32)));
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setSizeGripEnabled(false);
    QPalette face = palette();
    face.setColor(QPalette::Window, kDialogFace);
    setPalette(face);

    m_logo = new PictureBox(this);
    m_logo->setObjectName(QStringLiteral("Img_Logo"));
    m_logo->setGeometry(toPixels(kLogoRect));

    const Qt::Alignment centredTop = Qt::AlignHCenter | Qt::AlignTop;
    m_productName = makeLabel(this, kProductNameRect, arialFont(24.0, true), Qt::white, centredTop);
    m_productName->setObjectName(QStringLiteral("lblProductName"));
    m_version = makeLabel(this, kVersionRect, arialFont(8.25, true), Qt::white, centredTop);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_copy = makeLabel(this, kCopyRect, arialFont(9.75, true), kNavy, centredTop);
    m_copy->setObjectName(QStringLiteral("Lab_copy"));
    m_copy->setText(QString::fromUtf8(app::kLegalNotice));
    m_warning =
        makeLabel(this, kWarningRect, arialFont(8.25, false), kNavy, Qt::AlignLeft | Qt::AlignTop);
    m_warning->setObjectName(QStringLiteral("Lab_Warning"));
    m_warning->setWordWrap(true);
    m_warning->setText(QString::fromUtf8(app::kLicenceNotice));
    QLabel* credit =
        makeLabel(this, kCreditRect, arialFont(8.25, false), kNavy, Qt::AlignLeft | Qt::AlignTop);
    credit->setObjectName(QStringLiteral("Lab_Credits"));
    credit->setText(QStringLiteral("Coastlines: Natural Earth (public domain)"));

    // The area lies beneath the address, so the address gets the mouse where both overlap.
    m_emailArea = new HoverArea(this);
    m_emailArea->setObjectName(QStringLiteral("Img_EMail"));
    m_emailArea->setGeometry(toPixels(kEmailAreaRect));
    connect(m_emailArea, &HoverArea::hovered, this, &Frm_About::Img_EMail_MouseMove);

    m_email = new ClickableLabel(this);
    m_email->setObjectName(QStringLiteral("Lab_EMail"));
    m_email->setGeometry(toPixels(kEmailRect));
    m_email->setFont(arialFont(8.25, false));
    QPalette emailPalette = m_email->palette();
    emailPalette.setColor(QPalette::WindowText, kNavy);
    m_email->setPalette(emailPalette);
    m_email->setMouseTracking(true);
    m_email->setCursor(Qt::PointingHandCursor);
    m_email->setText(QString::fromUtf8(app::kContactEmail));
    m_email->adjustSize();
    connect(m_email, &ClickableLabel::hovered, this, &Frm_About::Lab_EMail_MouseMove);
    connect(m_email, &ClickableLabel::clicked, this, &Frm_About::Lab_EMail_Click);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setGeometry(toPixels(kOkRect));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &Frm_About::cmdOK_Click);

    Form_Load();
}

void Frm_About::Form_Load() {
    m_productName->setText(QString::fromUtf8(app::kProductName));
    m_version->setText(QStringLiteral("Version ") + QString::fromUtf8(app::kVersionText));
    update();
}

QLabel* Frm_About::emailLabel() const { return m_email; }

void Frm_About::showOver() {
    m_mainWindow.setEnabled(false);
    const QRect owner = m_mainWindow.frameGeometry();
    move(owner.center() - rect().center());
    show();
    raise();
    activateWindow();
    m_ok->setFocus();
    repaint();
}

void Frm_About::cmdOK_Click() {
    hide();
    m_mainWindow.setEnabled(true);
    m_mainWindow.activateWindow();
    m_mainWindow.setFocus();
    m_mainWindow.update();
}

void Frm_About::Lab_EMail_MouseMove() {
    QFont font = m_email->font();
    if (!font.underline()) {
        font.setUnderline(true);
        m_email->setFont(font);
        m_email->repaint();
    }
}

void Frm_About::Img_EMail_MouseMove() {
    QFont font = m_email->font();
    if (font.underline()) {
        font.setUnderline(false);
        m_email->setFont(font);
        m_email->repaint();
    }
}

void Frm_About::Lab_EMail_Click() { m_mail.open(QString::fromUtf8(app::kContactEmail)); }

void Frm_About::accept() { cmdOK_Click(); }

void Frm_About::reject() { cmdOK_Click(); }

void Frm_About::showEvent(QShowEvent* event) {
    // The banner is named when the box is first shown and decoded when painted: most runs
    // never open it.
    m_logo->setPicture(QString::fromLatin1(res::kAboutBanner));
    QDialog::showEvent(event);
}

void Frm_About::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    for (const TwipsLine& line : kLine1) {
        drawTwipsLine(painter, line);
    }
}

void Frm_About::closeEvent(QCloseEvent* event) {
    event->ignore();
    cmdOK_Click();
}

}  // namespace velmora::ui
