#include "ui/history_model.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace velmora::ui {

HistoryModel::HistoryModel(const std::vector<std::string>& lines, QObject* parent)
    : QAbstractListModel(parent), m_lines(lines), m_rowCount(static_cast<int>(lines.size())) {}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rowCount ||
        static_cast<std::size_t>(index.row()) >= m_lines.size()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return QString::fromStdString(m_lines[static_cast<std::size_t>(index.row())]);
    }
    return {};
}

Qt::ItemFlags HistoryModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

void HistoryModel::lineAppended() {
    // Rows the engine added without telling (none expected) join with this one.
    const int newCount = static_cast<int>(m_lines.size());
    if (newCount <= m_rowCount) {
        return;
    }
    beginInsertRows({}, m_rowCount, newCount - 1);
    m_rowCount = newCount;
    endInsertRows();
}

void HistoryModel::cleared() {
    beginResetModel();
    m_rowCount = static_cast<int>(m_lines.size());
    endResetModel();
}

void HistoryLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (option.state & QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    }
    painter->setFont(option.font);
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    constexpr int kTextMarginPx = 2;
    painter->drawText(option.rect.adjusted(kTextMarginPx, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor =
            option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : nullptr;
        if (style != nullptr) {
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }
}

void HistoryView::makeLineCurrentLater(int line) {
    m_pendingCurrentLine = line;
    if (!m_currentLineQueued) {
        m_currentLineQueued = true;
        QMetaObject::invokeMethod(this, &HistoryView::applyCurrentLine, Qt::QueuedConnection);
    }
}

void HistoryView::applyCurrentLine() {
    m_currentLineQueued = false;
    if (!m_pendingCurrentLine) {
        return;
    }
    const int line = *m_pendingCurrentLine;
    m_pendingCurrentLine.reset();
    const int rows = model() != nullptr ? model()->rowCount() : 0;
    if (line < 0 || line >= rows) {
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        return;
    }
    const QModelIndex index = model()->index(line, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

std::vector<std::size_t> HistoryView::selectedLines() const {
    std::vector<std::size_t> lines;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        lines.push_back(static_cast<std::size_t>(index.row()));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

QModelIndex HistoryView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const int rows = model() != nullptr ? model()->rowCount() : 0;
    switch (cursorAction) {
    case MoveHome: return rows > 0 ? model()->index(0, 0) : QModelIndex();
    case MoveEnd: return rows > 0 ? model()->index(rows - 1, 0) : QModelIndex();
    case MoveLeft: return QTableView::moveCursor(MoveUp, modifiers);
    case MoveRight: return QTableView::moveCursor(MoveDown, modifiers);
    default: return QTableView::moveCursor(cursorAction, modifiers);
    }
}

}  // namespace velmora::ui
