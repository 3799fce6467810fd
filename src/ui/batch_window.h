#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "calculator/batch.h"
#include "calculator/calculator.h"
#include "calculator/datum_menu.h"
#include "ui/message_boxes.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace velmora::ui {

class BatchJob;
class BatchModel;

// What the batch window starts from: the calculator's datum (its ticked Datum menu entry, and
// the user's own ellipsoid when that is "Other..."), its unit and the exact-solution tick.
// Nothing else of the calculator reaches the window.
struct BatchDefaults {
    std::int16_t datumEntry = calc::kWgs84Entry;
    geodesy::Ellipsoid otherEllipsoid;  // used when datumEntry is kOtherEntry
    std::int16_t unit = calc::kKilometres;
    bool exact = false;
};
BatchDefaults BatchDefaultsFrom(const calc::Calculator& engine, bool exactTicked);

// Many pairs at once, in a window: rows pasted or opened from a file, inverse or direct, on a
// datum and in a unit, solved in slices (BatchJob) into a table whose failed rows show red,
// then copied or saved as CSV. Resizable, apart from the fixed main window.
class BatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit BatchWindow(QWidget* parent = nullptr);
    ~BatchWindow() override;

    // Shows the window and brings it forward; a window that was closed starts again from
    // defaults (a window already open keeps the user's choices).
    void showWith(const BatchDefaults& defaults);
    void applyDefaults(const BatchDefaults& defaults);

    // The choices as the batch core takes them.
    calc::BatchOptions options() const;

    void compute();
    void cancel();
    void pasteFromClipboard();
    void copyCsv();
    void openFile();
    void saveCsv();
    // Puts the file's text into the input box; a message box says why when it cannot be read.
    bool loadFile(const QString& path);

    QPlainTextEdit* input() const { return m_input; }
    QTableView* table() const { return m_table; }
    BatchModel& model() const { return *m_model; }
    BatchJob& job() const { return *m_job; }
    QLabel* status() const { return m_status; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void jobFinished(bool cancelled);
    void setRunning(bool running);

    MessageBoxWarnings m_warnings{this};
    BatchModel* m_model = nullptr;
    BatchJob* m_job = nullptr;
    QElapsedTimer m_clock;  // since Compute, for the time in the status line

    QButtonGroup* m_problem = nullptr;
    QComboBox* m_datum = nullptr;
    std::vector<calc::BatchDatum> m_datums;  // one per entry of m_datum
    QComboBox* m_unit = nullptr;
    QCheckBox* m_exact = nullptr;
    QPlainTextEdit* m_input = nullptr;
    QPushButton* m_computeButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_copyButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
    QTableView* m_table = nullptr;
};

}  // namespace velmora::ui
