#include "ui/batch_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

#include "calculator/csv.h"

namespace velmora::ui {

namespace {

const QColor kFailedRowBackground{255, 200, 200};  // a pale red under every cell of the row
const QColor kFailedStatusText{170, 0, 0};         // the status itself in dark red

// Lines of input solved between two looks at the clock: a look costs far less than a row.
constexpr int kLinesBetweenClockChecks = 64;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The end of the record that begins at start: just past its closing "\n", outside quotes.
// Quotes in BatchRun's output only ever enclose whole fields, doubled inside them, so the
// count of quotes seen tells whether a "\n" is inside a field.
std::size_t recordEnd(std::string_view text, std::size_t start) {
    bool quoted = false;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\n' && !quoted) {
            return i + 1;
        }
    }
    return text.size();
}

}  // namespace

int BatchModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rowStarts.size());
}

int BatchModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_header.size());
}

std::string_view BatchModel::record(int row) const {
    const auto at = static_cast<std::size_t>(row);
    const std::size_t start = m_rowStarts[at];
    const std::size_t end = at + 1 < m_rowStarts.size() ? m_rowStarts[at + 1] : m_csv.size();
    std::string_view text(m_csv.data() + start, end - start);
    if (text.ends_with('\n')) text.remove_suffix(1);
    return text;
}

const std::vector<std::string>& BatchModel::cells(int row) const {
    if (row != m_cachedRow) {
        calc::SplitCsvRecord(record(row), ',', m_cachedCells);
        m_cachedRow = row;
    }
    return m_cachedCells;
}

QVariant BatchModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const int row = index.row();
    const bool statusCell = index.column() == columnCount() - 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        const std::vector<std::string>& fields = cells(row);
        const auto column = static_cast<std::size_t>(index.column());
        // The status is the last cell even of a row with more or fewer cells than the header.
        if (statusCell && !fields.empty()) return QString::fromStdString(fields.back());
        return column < fields.size() ? QString::fromStdString(fields[column]) : QString();
    }
    case Qt::BackgroundRole:
        return isFailedRow(row) ? QVariant(QBrush(kFailedRowBackground)) : QVariant();
    case Qt::ForegroundRole:
        return statusCell && isFailedRow(row) ? QVariant(QBrush(kFailedStatusText)) : QVariant();
    case Qt::ToolTipRole:
        return statusCell && isFailedRow(row)
                   ? QVariant(QStringLiteral("This row failed: its result cells are empty."))
                   : QVariant();
    default: return {};
    }
}

QVariant BatchModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return section >= 0 && section < m_header.size() ? QVariant(m_header[section]) : QVariant();
    }
    // The row's number, marked too when the row failed: the status column may be scrolled away.
    switch (role) {
    case Qt::DisplayRole: return section + 1;  // rows counted from 1, as a person numbers them
    case Qt::BackgroundRole:
        return isFailedRow(section) ? QVariant(QBrush(kFailedRowBackground)) : QVariant();
    case Qt::ForegroundRole:
        return isFailedRow(section) ? QVariant(QBrush(kFailedStatusText)) : QVariant();
    case Qt::ToolTipRole: {
        if (!isFailedRow(section)) return {};
        const std::vector<std::string>& fields = cells(section);
        return QStringLiteral("Failed: ") +
               (fields.empty() ? QString() : QString::fromStdString(fields.back()));
    }
    default: return QAbstractTableModel::headerData(section, orientation, role);
    }
}

bool BatchModel::isFailedRow(int row) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_failed.size() &&
           m_failed[static_cast<std::size_t>(row)];
}

void BatchModel::appendCsv(std::string_view records) {
    if (records.empty()) return;
    std::size_t start = m_csv.size();
    m_csv.append(records);
    const std::string_view all(m_csv);
    if (m_headerEnd == 0) {
        m_headerEnd = recordEnd(all, 0);
        std::vector<std::string> names;
        std::string_view header = all.substr(0, m_headerEnd);
        if (header.ends_with('\n')) header.remove_suffix(1);
        calc::SplitCsvRecord(header, ',', names);
        beginResetModel();
        m_header.clear();
        for (const std::string& name : names) m_header.append(fromUtf8(name));
        endResetModel();
        start = m_headerEnd;
    }

    // The new rows are found first and stored inside one insertion, which views hear of once.
    std::vector<std::size_t> starts;
    std::vector<bool> failed;
    std::vector<std::string> fields;
    while (start < all.size()) {
        const std::size_t end = recordEnd(all, start);
        std::string_view text = all.substr(start, end - start);
        if (text.ends_with('\n')) text.remove_suffix(1);
        // Only the last cell, the status, is needed: a record ending in ",ok" is not split.
        bool rowFailed = !text.ends_with(",ok");
        if (rowFailed) {
            calc::SplitCsvRecord(text, ',', fields);
            rowFailed = fields.empty() || fields.back() != "ok";
        }
        starts.push_back(start);
        failed.push_back(rowFailed);
        start = end;
    }
    if (starts.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(starts.size()) - 1);
    m_rowStarts.insert(m_rowStarts.end(), starts.begin(), starts.end());
    m_failed.insert(m_failed.end(), failed.begin(), failed.end());
    m_failedRows += static_cast<int>(std::count(failed.begin(), failed.end(), true));
    endInsertRows();
}

void BatchModel::clear() {
    beginResetModel();
    m_csv.clear();
    m_headerEnd = 0;
    m_header.clear();
    m_rowStarts.clear();
    m_failed.clear();
    m_failedRows = 0;
    m_cachedRow = -1;
    endResetModel();
}

BatchJob::BatchJob(BatchModel& model, QObject* parent) : QObject(parent), m_model(model) {
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &BatchJob::runSlice);
}

void BatchJob::start(QByteArray input, const calc::BatchOptions& options) {
    if (isRunning()) cancel();
    m_model.clear();
    m_input = std::move(input);
    m_position = 0;
    m_run = std::make_unique<calc::BatchRun>(options);
    m_out.clear();
    m_timer.start();
}

void BatchJob::cancel() {
    if (!isRunning()) return;
    m_timer.stop();
    m_input.clear();
    emit finished(true);
}

void BatchJob::runSlice() {
    QElapsedTimer clock;
    clock.start();
    const std::string_view input(m_input.constData(), static_cast<std::size_t>(m_input.size()));
    auto position = static_cast<std::size_t>(m_position);
    bool atEnd = false;
    for (int lines = 0;; ++lines) {
        if (lines == kLinesBetweenClockChecks) {
            if (clock.elapsed() >= m_sliceMilliseconds) break;
            lines = 0;
        }
        const std::size_t newline = input.find('\n', position);
        if (newline == std::string_view::npos) {
            if (position < input.size()) m_run->feedLine(input.substr(position), m_out);
            m_run->finish(m_out);
            position = input.size();
            atEnd = true;
            break;
        }
        m_run->feedLine(input.substr(position, newline - position), m_out);
        position = newline + 1;
    }
    m_position = static_cast<qsizetype>(position);
    m_model.appendCsv(m_out);
    m_out.clear();
    emit progressed(m_position, m_input.size());
    if (atEnd) {
        m_timer.stop();
        m_input.clear();
        emit finished(false);
    }
}

}  // namespace velmora::ui
