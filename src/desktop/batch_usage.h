#pragma once

// The usage of the batch command line, shown by --help and after a batch usage error. Plain
// text, so the command-line driver and the help both take it without a dependency between them.
namespace velmora::desktop {

inline constexpr char kBatchUsage[] =
    "\n"
    "Many pairs at once, without a window:\n"
    "  velmora --inverse [options] [FILE]   lines of lat1 lon1 lat2 lon2: distance and azimuths\n"
    "  velmora --direct [options] [FILE]    lines of lat1 lon1 azi1 s12: the point reached\n"
    "FILE (or standard input when absent or \"-\") holds blank-separated lines, a \"#\" starting\n"
    "a label, or CSV or tab-separated text with an optional header row. Angles are decimal\n"
    "degrees or marked degrees, minutes and seconds, with a sign or a hemisphere letter; azi1\n"
    "is clockwise from north; s12 is in the chosen unit. CSV goes to standard output.\n"
    "  --datum NAME         Sphere or a named ellipsoid of the Datum menu (default WGS-84)\n"
    "  --ellipsoid A,INVF   semi-major axis in metres and inverse flattening\n"
    "  --unit km|mi|nmi     unit of distances (default km)\n"
    "  --exact              the exact solution where Vincenty's iteration does not settle\n"
    "Exit status: 0 when every row is ok, 1 when a row failed, 2 for a usage error.\n";

}  // namespace velmora::desktop
