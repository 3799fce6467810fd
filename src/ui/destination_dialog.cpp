#include "ui/destination_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>

#include <string>

#include "calculator/destination.h"
#include "calculator/distance_units.h"
#include "calculator/state.h"

namespace velmora::ui {

namespace {

const QString kTitle = QStringLiteral("Destination from A");

QString formatName(std::int16_t format) {
    if (format == calc::kDeg) return QStringLiteral("degrees");
    if (format == calc::kDegMin) return QStringLiteral("degrees, minutes");
    return QStringLiteral("degrees, minutes, seconds");
}

// An example in the format, as a placeholder: blanks part the numbers.
QString example(std::int16_t format) {
    if (format == calc::kDeg) return QStringLiteral("45.5");
    if (format == calc::kDegMin) return QStringLiteral("45 30.25");
    return QStringLiteral("45 30 15.5");
}

QString unitSymbol(std::int16_t unit) {
    if (!calc::IsDistanceUnit(unit)) return {};
    const std::string_view symbol = calc::kDistanceUnits[static_cast<std::size_t>(unit)].symbol;
    return QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size()));
}

}  // namespace

DestinationDialog::DestinationDialog(QWidget* parent, std::int16_t format, std::int16_t unit)
    : QDialog(parent), m_format(format), m_unit(unit) {
    setObjectName(QStringLiteral("DestinationDialog"));
    setWindowTitle(kTitle);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_azimuth = new QLineEdit(this);
    m_azimuth->setObjectName(QStringLiteral("DestinationAzimuth"));
    m_azimuth->setPlaceholderText(example(format));
    m_distance = new QLineEdit(this);
    m_distance->setObjectName(QStringLiteral("DestinationDistance"));
    m_distance->setPlaceholderText(QStringLiteral("100.5"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Azimuth at A, clockwise from north (%1):").arg(formatName(format)),
                 m_azimuth);
    form->addRow(QStringLiteral("Distance (%1):").arg(unitSymbol(unit)), m_distance);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DestinationDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DestinationDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_azimuth->setFocus();
}

QString DestinationDialog::azimuthText() const { return m_azimuth->text(); }

QString DestinationDialog::distanceText() const { return m_distance->text(); }

void DestinationDialog::accept() {
    const calc::DestinationParse parse = calc::ParseDestinationInput(
        m_azimuth->text().toStdString(), m_distance->text().toStdString(), m_format, m_unit);
    if (parse.input) {
        QDialog::accept();
        return;
    }
    QMessageBox box(QMessageBox::Critical, kTitle, QString::fromStdString(parse.refusal + "."),
                    QMessageBox::Ok, this);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
    QLineEdit* atFault = parse.refusal.starts_with("Distance") ? m_distance : m_azimuth;
    atFault->setFocus();
    atFault->selectAll();
}

void AskDestination(QWidget* parent, calc::Calculator& engine) {
    if (!engine.MenuDestination_CanStart()) return;
    const calc::CalculatorState& state = engine.state();
    DestinationDialog dialog(parent, state.CoordFormat, state.UnitIndex);
    if (dialog.exec() != QDialog::Accepted) return;
    engine.MenuDestination_Click(dialog.azimuthText().toStdString(),
                                 dialog.distanceText().toStdString());
}

}  // namespace velmora::ui
