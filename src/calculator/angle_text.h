#pragma once

#include <cstdint>
#include <string>

// Angles written with the coordinate marks in one of the three coordinate formats (kDeg,
// kDegMin, kDegMinSec), rounded at a fixed number of decimals of their last part.
namespace velmora::calc {

// An angle of 0 or more degrees as the keys would type it in format: "48.8566°",
// "48°51.396'", "48°51'23.76\"". The last part keeps 10 (degrees), 8 (minutes) or 6 (seconds)
// decimals, trailing zeros and a bare decimal point dropped; every part of the format is
// written, "0" included. Only digits, "." and the marks: what the keypad accepts.
std::string TypedAngleText(double degrees, std::int16_t format);

// An azimuth, 0 up to but not including 360 degrees clockwise from north, for the history:
// "96.602444°", "96° 36.1466'", "96° 36' 8.80\"" (a blank after the degree and minutes marks,
// like the coordinates there). Fixed decimals: 6 of a degree, 4 of a minute, 2 of a second,
// all about 2e-6 degrees; a value that rounds to 360 is written as 0.
std::string AzimuthText(double degrees, std::int16_t format);

}  // namespace velmora::calc
