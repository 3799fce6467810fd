#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <span>

#include "calculator/calculator.h"
#include "ui/key_label.h"

namespace velmora::ui {

class DisplayLabel;
class HistoryModel;
class HistoryView;
class IndicatorBox;

// The client area below the menu bar, in twips; the background picture leaves its last column
// and row to the window colour.
inline constexpr int kClientWidthTwips = 8040;
inline constexpr int kClientHeightTwips = 5760;

// A key's caption colours: at rest, and lit while the mouse is over it.
struct KeyColours {
    QColor normal;
    QColor highlight;
};
KeyColours keyColours(KeyBlock block, int index);

// The painted calculator face, the window's client area: the background picture, the window
// colour in the strip it leaves free and the Lin_TC separators on top. It builds the controls
// that stand on it from the window design: the keys from their tables, the hover-reset areas
// of the two blocks, the display, the history list and the indicator pictures.
class CalculatorFace : public PictureBox {
    Q_OBJECT
public:
    explicit CalculatorFace(QWidget* parent);

    // The area beneath a block's keys that takes their highlight off; made before the keys, so
    // that it stays below them.
    HoverArea* createGaps(KeyBlock block);
    // Every key of `block` into `keys`, by index: rectangle, caption, font and tooltip.
    void createKeys(KeyBlock block, std::span<KeyLabel*> keys);
    DisplayLabel* createDisplay();
    // The list with its model set last, once its headers are hidden and sized.
    HistoryView* createHistoryList(HistoryModel* model);
    std::array<IndicatorBox*, calc::kIndicatorCount> createIndicators();

    // The file of indicator `which` showing `picture`: the picture list's, 1-based as the
    // selector panel counts, or the indicator's grey picture for 0 and anything outside it.
    static QString indicatorPicturePath(calc::Indicator which, int picture);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace velmora::ui
