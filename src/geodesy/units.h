#pragma once

// Length factors between the distance units.
namespace velmora::geodesy {

inline constexpr double kMetresPerKm = 1000.0;
inline constexpr double kKmPerStatuteMile = 1.609344;
inline constexpr double kKmPerNauticalMile = 1.853;  // the program's factor, not 1.852

}  // namespace velmora::geodesy
