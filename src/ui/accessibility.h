#pragma once

#include <QString>

#include "ui/key_label.h"

// What assistive technology (screen readers, switch access, voice control) is told about the
// calculator face, through Qt's accessibility bridge (AT-SPI on Linux, UI Automation on Windows).
namespace velmora::ui {

// The spoken name of a key, by its index: what the key shows, in words where it shows a symbol
// ("Degrees" for the degree sign, "Reset A and B" for ">|<"). The name column of the key table;
// empty outside it.
QString keypadKeyName(int index);
QString selectorKeyName(int index);

// The words for an indicator picture (1-based picture list index): "Latitude A", "North",
// "kilometres", "degrees / minutes / seconds"; 0 (the grey picture) is "none chosen". Empty outside
// the list.
QString indicatorWords(int picture);

// Makes every key a push button with a Press action, the display and the indicators readable
// text. Once per process, before the first window is built; later calls do nothing.
void installAccessibleInterfaces();

// The display: named "Display", its text readable as text and value; a new text is announced.
class DisplayLabel : public ClickableLabel {
    Q_OBJECT
public:
    explicit DisplayLabel(QWidget* parent);
    void showText(const QString& text);
};

// An indicator picture that also reads as text, "Coordinate field: Latitude A"; a change of the
// words is announced.
class IndicatorBox : public PictureBox {
    Q_OBJECT
public:
    // what: the indicator's name, "Coordinate field".
    IndicatorBox(const QString& what, QWidget* parent);
    QString what() const { return m_what; }
    QString words() const { return m_words; }
    void setWords(const QString& words);

private:
    QString m_what;
    QString m_words;
};

}  // namespace velmora::ui
