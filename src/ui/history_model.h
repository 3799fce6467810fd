#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmora::ui {

// The history list's rows, read straight from the engine's lines. The engine only appends
// and clears; the model is told after each change so that a view inserts exactly one row,
// which keeps an append cheap however long the list grows.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
public:
    HistoryModel(const std::vector<std::string>& lines, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void lineAppended();  // lines.back() is new
    void cleared();

private:
    const std::vector<std::string>& m_lines;
    int m_rowCount = 0;
};

// Draws a history line as a list box does: plain text on one line, the selection highlight and
// the focus frame. Much cheaper than the style's full item drawing, which matters because the
// list repaints every visible line when one is appended.
class HistoryLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// The history list's view: a one-column table with fixed row heights, so that an append costs
// the same at any length. Keys move as in a list box: Home and End go to the first and last
// line, Left and Right act as Up and Down.
class HistoryView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

    // Makes `line` current (-1: no current line) when the event loop next runs. Making a line
    // current asks for row positions, which the view recomputes over every row after each
    // insert: done once for a burst of lines, the burst costs one such pass instead of one a line.
    void makeLineCurrentLater(int line);
    // Carries out a pending makeLineCurrentLater at once: before the list's own keys and clicks,
    // which start from the newest current line.
    void applyCurrentLine();
    // The selected lines, in ascending order.
    std::vector<std::size_t> selectedLines() const;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    std::optional<int> m_pendingCurrentLine;
    bool m_currentLineQueued = false;
};

}  // namespace velmora::ui
