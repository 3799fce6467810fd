#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <future>
#include <span>

#include "calculator/keys.h"

class QMouseEvent;

namespace velmora::ui {

// The two blocks of keys, each numbering its keys from 0 as its table in calculator/keys.h does:
// the keypad (Lab_Num) and the selector panel (Lab_Sel).
enum class KeyBlock { Keypad, Selector };

// The table of a block's keys, by index.
std::span<const calc::KeyFace> keyTable(KeyBlock block);

// A left click: a left press, then a left release inside the widget. The keys and the plain
// clickable labels track their clicks with it.
class ClickTracker {
public:
    void pressed(const QMouseEvent& event);
    // Whether this release ends a click on a widget of rectangle `area` (its own coordinates).
    bool released(const QMouseEvent& event, const QRect& area);

private:
    bool m_pressed = false;
};

// One caption over a painted key face: transparent, the caption centred at the top of its
// rectangle like the calculator's other labels. Colour, bold and underline change per key and
// repaint at once. A disabled key is drawn greyed and swallows mouse events, so neither the key
// nor the hover-reset area beneath it reacts. A key keeps its look while only the window is
// disabled (the About box is up).
class KeyLabel : public QWidget {
    Q_OBJECT
public:
    // The key of `index` in `block`'s table, which gives its caption.
    KeyLabel(KeyBlock block, std::int16_t index, QWidget* parent);

    KeyBlock block() const { return m_block; }
    std::int16_t index() const { return m_index; }
    // The key's row of its block's table.
    const calc::KeyFace& design() const;
    QString caption() const { return m_caption; }
    QColor textColor() const { return m_textColor; }
    bool isBold() const { return font().bold(); }
    bool isUnderlined() const { return font().underline(); }

    void setTextColor(const QColor& color);
    // Bold and underlined caption; repaints at once when either changes.
    void setCaptionStyle(bool bold, bool underlined);
    // What a click does: clicked(index), unless the key or its window is disabled. For
    // assistive technology, which presses keys without a mouse.
    void press();

signals:
    void clicked(std::int16_t index);
    void hovered(std::int16_t index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    KeyBlock m_block;
    std::int16_t m_index;
    QString m_caption;
    QColor m_textColor;
    ClickTracker m_click;
};

// A transparent area that reports mouse moves: the gaps between keys, and the area around the
// About box's e-mail address.
class HoverArea : public QWidget {
    Q_OBJECT
public:
    explicit HoverArea(QWidget* parent);

signals:
    void hovered();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
};

// A picture shown at the top-left corner, opaque, and never greyed: the information panel's
// indicators keep their look while the About box disables the window. The picture is named by
// its file (a resource path) and decoded for the screen's device-pixel ratio (see
// decodePicture) only when first painted or asked for, so a picture replaced before it is ever
// drawn costs nothing; it is decoded again when the window moves to a screen of another ratio.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent);
    ~PictureBox() override;

    QString picturePath() const { return m_path; }
    void setPicture(const QString& path);
    // Starts decoding the picture on another thread, for the ratio the screens have now; the
    // first paint takes it from there. For a large picture set while the window is built.
    void decodeAhead();
    // The picture as painted; null while no picture is set or the file does not decode.
    const QImage& picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_path;
    mutable QImage m_picture;
    mutable double m_decodedRatio = 0.0;  // 0: not decoded since the picture was set
    mutable std::future<QImage> m_ahead;  // valid from decodeAhead until the first use
};

// A plain label that reports mouse moves and left clicks: the display and the About box's
// e-mail address.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent);

signals:
    void hovered();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    ClickTracker m_click;
};

}  // namespace velmora::ui
