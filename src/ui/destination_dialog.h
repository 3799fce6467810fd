#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

#include "calculator/calculator.h"

class QLineEdit;

namespace velmora::ui {

// "Destination from A": the azimuth at A, clockwise from north, in the coordinate format
// chosen, and the distance in the unit chosen. OK with input the core refuses shows why and
// keeps the dialog open on the field at fault; Cancel leaves everything as it was.
class DestinationDialog : public QDialog {
    Q_OBJECT
public:
    DestinationDialog(QWidget* parent, std::int16_t format, std::int16_t unit);

    QString azimuthText() const;
    QString distanceText() const;
    QLineEdit* azimuthField() const { return m_azimuth; }
    QLineEdit* distanceField() const { return m_distance; }

    void accept() override;

private:
    std::int16_t m_format;
    std::int16_t m_unit;
    QLineEdit* m_azimuth = nullptr;
    QLineEdit* m_distance = nullptr;
};

// Edit > Destination from A...: once the calculator has A to start from, the dialog asks in
// the calculator's format and unit, and OK hands the answer to the calculator.
void AskDestination(QWidget* parent, calc::Calculator& engine);

}  // namespace velmora::ui
