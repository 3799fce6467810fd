#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/batch.h"

namespace velmora::ui {

// The rows a batch has written, as a table: the CSV text itself is kept (it is what Copy and
// Save hand out) with the place where each row begins, and a row's cells are split out only
// when a view asks for them, so 100,000 rows cost their text and a few bytes each. A row
// whose status (the last column) is not "ok" is a failed row, drawn on a red background.
class BatchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Appends whole CSV records ending in "\n", as BatchRun writes them; the first record the
    // model ever gets is the header. Views are told of the new rows in one insertion.
    void appendCsv(std::string_view records);
    void clear();

    // Everything appended since the last clear, header first: the table as CSV.
    const std::string& csv() const { return m_csv; }
    bool isFailedRow(int row) const;
    int failedRowCount() const { return m_failedRows; }

private:
    std::string_view record(int row) const;  // without its line break
    const std::vector<std::string>& cells(int row) const;

    std::string m_csv;
    std::size_t m_headerEnd = 0;  // where the first row begins; 0: no header yet
    QStringList m_header;
    std::vector<std::size_t> m_rowStarts;  // offsets into m_csv, one a row
    std::vector<bool> m_failed;
    int m_failedRows = 0;
    mutable int m_cachedRow = -1;  // the row last split, for the cells of one paint
    mutable std::vector<std::string> m_cachedCells;
};

// Runs a batch on the UI thread in slices of about sliceMilliseconds, handing each slice's rows
// to the model, so the window keeps painting and answering (Cancel among others) while 100,000
// rows are solved. The input is whole text, line after line, as the command line reads it.
class BatchJob : public QObject {
    Q_OBJECT
public:
    BatchJob(BatchModel& model, QObject* parent);

    // Clears the model and starts solving input with options; a job still running is
    // cancelled first.
    void start(QByteArray input, const calc::BatchOptions& options);
    // Stops after the current slice: the rows solved so far stay in the model, no more come.
    void cancel();
    bool isRunning() const { return m_timer.isActive(); }

    void setSliceMilliseconds(int milliseconds) { m_sliceMilliseconds = milliseconds; }

signals:
    // Input bytes read so far out of the whole, after every slice.
    void progressed(qint64 doneBytes, qint64 totalBytes);
    void finished(bool cancelled);

private:
    void runSlice();

    BatchModel& m_model;
    QTimer m_timer;
    int m_sliceMilliseconds = 20;
    QByteArray m_input;
    qsizetype m_position = 0;
    std::unique_ptr<calc::BatchRun> m_run;
    std::string m_out;
};

}  // namespace velmora::ui
