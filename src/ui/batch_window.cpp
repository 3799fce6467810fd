#include "ui/batch_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <string_view>

#include "app_info.h"
#include "calculator/distance_units.h"
#include "ui/batch_model.h"
#include "ui/save_file.h"

namespace velmora::ui {

namespace {

// An opened file goes into the input box whole; past this it is refused (the command line,
// which reads a line at a time, takes files of any size).
constexpr qint64 kMaxInputBytes = 256LL * 1024 * 1024;
constexpr int kProgressSteps = 1000;
constexpr int kRowsMeasuredForWidths = 50;  // the progress bar's range, in thousandths of the input

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString placeholderFor(calc::BatchProblem problem) {
    return problem == calc::BatchProblem::Inverse
               ? QStringLiteral(
                     "One pair a line: lat1 lon1 lat2 lon2 # label\n"
                     "or CSV / tab-separated text, with a header row if you like.\n"
                     "Angles in decimal degrees or as 48°51'24\"N.")
               : QStringLiteral(
                     "One path a line: lat1 lon1 azi1 s12 # label\n"
                     "(azimuth in degrees clockwise from north, distance in the unit)\n"
                     "or CSV / tab-separated text, with a header row if you like.");
}

}  // namespace

BatchDefaults BatchDefaultsFrom(const calc::Calculator& engine, bool exactTicked) {
    BatchDefaults defaults;
    for (int i = 0; i < calc::kDatumEntryCount; ++i) {
        if (!calc::IsDatumSeparator(i) && engine.isDatumTicked(i)) {
            defaults.datumEntry = static_cast<std::int16_t>(i);
            break;
        }
    }
    defaults.otherEllipsoid = engine.state().Datum;
    if (calc::IsDistanceUnit(engine.state().UnitIndex)) defaults.unit = engine.state().UnitIndex;
    defaults.exact = exactTicked;
    return defaults;
}

BatchWindow::BatchWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("BatchWindow"));
    setWindowTitle(QString::fromUtf8(app::kProductName) + QStringLiteral(" Batch"));
    m_model = new BatchModel(this);
    m_job = new BatchJob(*m_model, this);
    createControls();
    applyDefaults({});
    resize(880, 620);

    connect(m_job, &BatchJob::progressed, this, [this](qint64 done, qint64 total) {
        m_progress->setValue(total > 0 ? static_cast<int>(done * kProgressSteps / total)
                                       : kProgressSteps);
        m_status->setText(
            QStringLiteral("Computing: %1 rows").arg(QLocale().toString(m_model->rowCount())));
    });
    connect(m_job, &BatchJob::finished, this, &BatchWindow::jobFinished);
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int) {
                if (first == 0) m_table->resizeColumnsToContents();
            });
}

BatchWindow::~BatchWindow() = default;

void BatchWindow::createControls() {
    auto* problemBox = new QHBoxLayout;
    m_problem = new QButtonGroup(this);
    auto* inverse = new QRadioButton(QStringLiteral("&Inverse (A to B)"));
    auto* direct = new QRadioButton(QStringLiteral("&Direct (from A)"));
    inverse->setToolTip(
        QStringLiteral("Rows of two points: the distance and azimuths between them"));
    direct->setToolTip(
        QStringLiteral("Rows of a point, an azimuth and a distance: where the path ends"));
    m_problem->addButton(inverse, static_cast<int>(calc::BatchProblem::Inverse));
    m_problem->addButton(direct, static_cast<int>(calc::BatchProblem::Direct));
    inverse->setChecked(true);
    problemBox->addWidget(inverse);
    problemBox->addWidget(direct);
    problemBox->addStretch();
    connect(m_problem, &QButtonGroup::idClicked, this, [this](int id) {
        m_input->setPlaceholderText(placeholderFor(static_cast<calc::BatchProblem>(id)));
    });

    m_datum = new QComboBox;
    m_datum->setObjectName(QStringLiteral("BatchDatum"));
    m_unit = new QComboBox;
    m_unit->setObjectName(QStringLiteral("BatchUnit"));
    for (const calc::DistanceUnit& unit : calc::kDistanceUnits) {
        m_unit->addItem(fromUtf8(unit.name) + QStringLiteral(" [") + fromUtf8(unit.symbol) + u']');
    }
    m_exact = new QCheckBox(QStringLiteral("E&xact solution near antipodes"));
    auto* choices = new QHBoxLayout;
    auto* datumLabel = new QLabel(QStringLiteral("D&atum:"));
    datumLabel->setBuddy(m_datum);
    auto* unitLabel = new QLabel(QStringLiteral("&Unit:"));
    unitLabel->setBuddy(m_unit);
    choices->addWidget(datumLabel);
    choices->addWidget(m_datum);
    choices->addSpacing(12);
    choices->addWidget(unitLabel);
    choices->addWidget(m_unit);
    choices->addSpacing(12);
    choices->addWidget(m_exact);
    choices->addStretch();

    m_input = new QPlainTextEdit;
    m_input->setObjectName(QStringLiteral("BatchInput"));
    m_input->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_input->setPlaceholderText(placeholderFor(calc::BatchProblem::Inverse));
    m_input->setAccessibleName(QStringLiteral("Rows to compute"));

    auto* paste = new QPushButton(QStringLiteral("&Paste"));
    auto* open = new QPushButton(QStringLiteral("&Open..."));
    m_computeButton = new QPushButton(QStringLiteral("Co&mpute"));
    m_cancelButton = new QPushButton(QStringLiteral("Ca&ncel"));
    m_copyButton = new QPushButton(QStringLiteral("&Copy"));
    m_saveButton = new QPushButton(QStringLiteral("&Save as CSV..."));
    paste->setToolTip(QStringLiteral("Put the clipboard's text into the box"));
    open->setToolTip(QStringLiteral("Put a file's text into the box"));
    m_copyButton->setToolTip(QStringLiteral("Put the table on the clipboard as CSV"));
    connect(paste, &QPushButton::clicked, this, &BatchWindow::pasteFromClipboard);
    connect(open, &QPushButton::clicked, this, &BatchWindow::openFile);
    connect(m_computeButton, &QPushButton::clicked, this, &BatchWindow::compute);
    connect(m_cancelButton, &QPushButton::clicked, this, &BatchWindow::cancel);
    connect(m_copyButton, &QPushButton::clicked, this, &BatchWindow::copyCsv);
    connect(m_saveButton, &QPushButton::clicked, this, &BatchWindow::saveCsv);

    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(paste);
    inputButtons->addWidget(open);
    inputButtons->addStretch();
    inputButtons->addWidget(m_computeButton);
    inputButtons->addWidget(m_cancelButton);

    m_progress = new QProgressBar;
    m_progress->setRange(0, kProgressSteps);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("BatchStatus"));
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_status, 2);

    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("BatchTable"));
    m_table->setModel(m_model);
    m_table->setWordWrap(false);
    m_table->setAccessibleName(QStringLiteral("Results"));
    // Fixed row heights: appending a slice of rows then costs the same at any length.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Columns fitted to the first rows only: measuring a thousand rows would hold up the first
    // slice.
    m_table->horizontalHeader()->setResizeContentsPrecision(kRowsMeasuredForWidths);

    auto* outputButtons = new QHBoxLayout;
    outputButtons->addStretch();
    outputButtons->addWidget(m_copyButton);
    outputButtons->addWidget(m_saveButton);

    auto* top = new QWidget;
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addLayout(problemBox);
    topLayout->addLayout(choices);
    topLayout->addWidget(m_input, 1);
    topLayout->addLayout(inputButtons);
    auto* bottom = new QWidget;
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addLayout(progressRow);
    bottomLayout->addWidget(m_table, 1);
    bottomLayout->addLayout(outputButtons);

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(top);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    setRunning(false);
}

void BatchWindow::applyDefaults(const BatchDefaults& defaults) {
    m_datum->clear();
    m_datums.clear();
    m_datum->addItem(fromUtf8(calc::DatumCaption(calc::kSphereEntry)));
    m_datums.push_back(calc::BatchDatum{true, {}});
    int chosen = -1;
    for (int entry = calc::kFirstEllipsoidEntry; entry < calc::kOtherEntry; ++entry) {
        if (calc::IsDatumSeparator(entry)) continue;
        const auto& named =
            geodesy::kNamedEllipsoids[static_cast<std::size_t>(entry - calc::kFirstEllipsoidEntry)];
        if (entry == defaults.datumEntry) chosen = m_datum->count();
        m_datum->addItem(fromUtf8(named.name));
        m_datums.push_back(calc::BatchDatum{false, named.ellipsoid()});
    }
    if (defaults.datumEntry == calc::kOtherEntry) {
        // The user's own ellipsoid, as the calculator holds it: offered only while it is in use.
        const geodesy::Ellipsoid& e = defaults.otherEllipsoid;
        chosen = m_datum->count();
        m_datum->addItem(QStringLiteral("Other (a = %1 m, 1/f = %2)")
                             .arg(e.semiMajorMetres, 0, 'g', 12)
                             .arg(e.flattening > 0 ? 1.0 / e.flattening : 0.0, 0, 'g', 12));
        m_datums.push_back(calc::BatchDatum{false, e});
    }
    if (defaults.datumEntry == calc::kSphereEntry) chosen = 0;
    m_datum->setCurrentIndex(chosen >= 0 ? chosen
                                         : calc::kWgs84Entry - calc::kFirstEllipsoidEntry + 1);
    m_unit->setCurrentIndex(calc::IsDistanceUnit(defaults.unit) ? defaults.unit
                                                                : calc::kKilometres);
    m_exact->setChecked(defaults.exact);
}

void BatchWindow::showWith(const BatchDefaults& defaults) {
    if (!isVisible() && !m_job->isRunning()) applyDefaults(defaults);
    show();
    raise();
    activateWindow();
    m_input->setFocus();
}

calc::BatchOptions BatchWindow::options() const {
    calc::BatchOptions options;
    options.problem = static_cast<calc::BatchProblem>(m_problem->checkedId());
    const int datum = m_datum->currentIndex();
    if (datum >= 0 && static_cast<std::size_t>(datum) < m_datums.size()) {
        options.datum = m_datums[static_cast<std::size_t>(datum)];
    }
    options.unit = static_cast<std::int16_t>(m_unit->currentIndex());
    options.exactWhereUnsettled = m_exact->isChecked();
    return options;
}

void BatchWindow::compute() {
    m_clock.start();
    setRunning(true);
    m_progress->setValue(0);
    m_status->setText(QStringLiteral("Computing"));
    m_job->start(m_input->toPlainText().toUtf8(), options());
}

void BatchWindow::cancel() { m_job->cancel(); }

void BatchWindow::jobFinished(bool cancelled) {
    setRunning(false);
    const QLocale locale;
    const QString rows = locale.toString(m_model->rowCount());
    if (cancelled) {
        m_status->setText(QStringLiteral("Cancelled after %1 rows").arg(rows));
        return;
    }
    m_progress->setValue(kProgressSteps);
    QString text =
        m_model->rowCount() == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
    if (m_model->failedRowCount() > 0) {
        text += QStringLiteral(", %1 failed").arg(locale.toString(m_model->failedRowCount()));
    }
    text += QStringLiteral(", in %1 s")
                .arg(locale.toString(static_cast<double>(m_clock.elapsed()) / 1000.0, 'f', 2));
    m_status->setText(text);
}

void BatchWindow::setRunning(bool running) {
    m_computeButton->setEnabled(!running);
    m_cancelButton->setEnabled(running);
    const bool haveRows = !running && m_model->rowCount() > 0;
    m_copyButton->setEnabled(haveRows);
    m_saveButton->setEnabled(haveRows);
}

void BatchWindow::pasteFromClipboard() { m_input->setPlainText(QApplication::clipboard()->text()); }

void BatchWindow::copyCsv() {
    if (m_job->isRunning() || m_model->rowCount() == 0) return;
    QApplication::clipboard()->setText(fromUtf8(m_model->csv()));
}

void BatchWindow::openFile() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open rows"), DefaultSavePath({}),
                                     QStringLiteral("Tables (*.csv *.tsv *.txt);;All files (*)"));
    if (!path.isEmpty()) loadFile(path);
}

bool BatchWindow::loadFile(const QString& path) {
    QFile file(path);
    QString reason;
    if (!QFileInfo(path).isFile()) {
        reason = QStringLiteral("it is not a file");
    } else if (file.size() > kMaxInputBytes) {
        reason = QStringLiteral(
                     "it is larger than %1 MB; velmora --inverse or --direct takes it from the "
                     "command line")
                     .arg(kMaxInputBytes / (1024 * 1024));
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            m_input->setPlainText(QString::fromUtf8(bytes));
            return true;
        }
        reason = file.errorString();
    }
    m_warnings.critical(
        windowTitle(),
        QStringLiteral("%1 could not be opened: %2.").arg(QDir::toNativeSeparators(path), reason));
    return false;
}

void BatchWindow::saveCsv() {
    if (m_job->isRunning() || m_model->rowCount() == 0) return;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save as CSV"), DefaultSavePath(QStringLiteral("Velmora batch.csv")),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty()) return;
    const std::string& csv = m_model->csv();
    SaveFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())), m_warnings);
}

void BatchWindow::closeEvent(QCloseEvent* event) {
    m_job->cancel();
    QWidget::closeEvent(event);
}

}  // namespace velmora::ui
