#include "ui/key_label.h"

#include <QMouseEvent>
#include <QGuiApplication>
#include <QPainter>

#include "ui/scaled_picture.h"

namespace velmora::ui {

namespace {

// A disabled caption is drawn engraved, as the desktop draws disabled labels: grey text over
// a white copy shifted one pixel right and down.
const QColor kDisabledText(128, 128, 128);
const QColor kDisabledHighlight(255, 255, 255);
constexpr int kCaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;

}  // namespace

std::span<const calc::KeyFace> keyTable(KeyBlock block) {
    if (block == KeyBlock::Selector) {
        return calc::kSelectorKeys;
    }
    return calc::kKeypadKeys;
}

void ClickTracker::pressed(const QMouseEvent& event) {
    m_pressed = event.button() == Qt::LeftButton;
}

bool ClickTracker::released(const QMouseEvent& event, const QRect& area) {
    const bool click =
        m_pressed && event.button() == Qt::LeftButton && area.contains(event.position().toPoint());
    m_pressed = false;
    return click;
}

KeyLabel::KeyLabel(KeyBlock block, std::int16_t index, QWidget* parent)
    : QWidget(parent), m_block(block), m_index(index) {
    const std::string_view caption = design().caption;
    m_caption = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void KeyLabel::setTextColor(const QColor& color) {
    if (color == m_textColor) {
        return;
    }
    m_textColor = color;
    repaint();
}

const calc::KeyFace& KeyLabel::design() const {
    return keyTable(m_block)[static_cast<std::size_t>(m_index)];
}

void KeyLabel::setCaptionStyle(bool bold, bool underlined) {
    if (bold == font().bold() && underlined == font().underline()) {
        return;
    }
    QFont f = font();
    f.setBold(bold);
    f.setUnderline(underlined);
    setFont(f);
    repaint();
}

void KeyLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    if (isEnabledTo(window())) {
        painter.setPen(m_textColor);
        painter.drawText(rect(), kCaptionFlags, m_caption);
        return;
    }
    painter.setPen(kDisabledHighlight);
    painter.drawText(rect().translated(1, 1), kCaptionFlags, m_caption);
    painter.setPen(kDisabledText);
    painter.drawText(rect(), kCaptionFlags, m_caption);
}

void KeyLabel::press() {
    if (isEnabled()) {
        emit clicked(m_index);
    }
}

void KeyLabel::mousePressEvent(QMouseEvent* event) {
    m_click.pressed(*event);
    event->accept();
}

void KeyLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (m_click.released(*event, rect())) {
        press();
    }
}

void KeyLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit hovered(m_index);
}

HoverArea::HoverArea(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void HoverArea::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit hovered();
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(const QString& path) {
    if (path == m_path) {
        return;
    }
    m_path = path;
    m_picture = QImage();
    m_decodedRatio = 0.0;
    m_ahead = {};
    update();
}

void PictureBox::decodeAhead() {
    // Where no thread can be started the picture is decoded at the first paint, on this one.
    m_ahead = std::async(
        std::launch::async | std::launch::deferred,
        [path = m_path, ratio = qApp->devicePixelRatio()] { return decodePicture(path, ratio); });
}

const QImage& PictureBox::picture() const {
    const double ratio = devicePixelRatio();
    if (qFuzzyCompare(m_decodedRatio, ratio)) {
        return m_picture;
    }
    m_decodedRatio = ratio;
    if (m_ahead.valid()) {
        const QImage image = m_ahead.get();
        if (image.isNull() || qFuzzyCompare(image.devicePixelRatio(), ratio)) {
            m_picture = image;
            return m_picture;
        }
    }
    m_picture = m_path.isEmpty() ? QImage() : loadPicture(m_path, ratio);
    return m_picture;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture());
}

ClickableLabel::ClickableLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    m_click.pressed(*event);
    event->accept();
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (m_click.released(*event, rect())) {
        emit clicked();
    }
}

void ClickableLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit hovered();
}

}  // namespace velmora::ui
