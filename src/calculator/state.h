#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "geodesy/ellipsoids.h"

namespace velmora::calc {

// Field codes, the index of CoordText and the value of ActiveField.
enum FieldCode : std::int16_t { kLatitudeA = 0, kLatitudeB = 1, kLongitudeA = 2, kLongitudeB = 3 };

inline constexpr std::int16_t kNone = -1;          // ActiveField, CoordFormat, UnitIndex
inline constexpr std::int16_t kNoHemisphere = 99;  // Hemisphere before a field is chosen

// Hemisphere codes.
inline constexpr std::int16_t kNorth = 0;
inline constexpr std::int16_t kSouth = 1;
inline constexpr std::int16_t kWest = 2;
inline constexpr std::int16_t kEast = 3;

// Coordinate formats (CoordFormat).
inline constexpr std::int16_t kDegMinSec = 0;
inline constexpr std::int16_t kDegMin = 1;
inline constexpr std::int16_t kDeg = 2;

// Distance units (UnitIndex).
inline constexpr std::int16_t kKilometres = 0;
inline constexpr std::int16_t kStatuteMiles = 1;
inline constexpr std::int16_t kNauticalMiles = 2;

// The three coordinate marks, UTF-8. The seconds mark is the straight double quote.
inline constexpr char kDegreeMark[] = "\u00B0";
inline constexpr char kMinutesMark[] = "'";
inline constexpr char kSecondsMark[] = "\"";

// The ellipsoid in use.
using DatumParameters = geodesy::Ellipsoid;

// The last user-defined ellipsoid, kept between uses of the custom datum dialog.
struct CustomDatumValues {
    double semiMajorMetres = 0.0;
    double semiMinorMetres = 0.0;
    double inverseFlattening = 0.0;
};

// The calculator's whole state. One instance, owned by the program and passed by reference.
// Texts are UTF-8; the degree mark is one character of two bytes.
struct CalculatorState {
    std::int16_t ActiveField = kNone;
    std::array<std::string, 4> CoordText;  // as stored by the last Enter of each field
    std::int16_t Hemisphere = kNoHemisphere;
    std::int16_t CoordFormat = kNone;
    std::int16_t UnitIndex = kNone;
    std::string UnitText;  // "km", "mi", "nmi" or empty
    bool SphereMode = false;
    bool DatumDialogCancelled = false;
    std::string DisplaySeparator;     // "." once DetectDecimalSeparator has run
    std::string ConversionSeparator;  // ","
    bool ResultShown = false;
    bool Loading = false;
    DatumParameters Datum;          // written only by ApplyDatum
    CustomDatumValues CustomDatum;  // written only by CustomDatumDialog
};

// Sets every CoordText entry to "0".
void ResetCoordinates(CalculatorState& state);

}  // namespace velmora::calc
