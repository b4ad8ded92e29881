#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace scenario {

struct TourOptions {
    std::string outDir;
    double scale = 1;   // pixels per point of the pictures
};

struct TourFrame {
    std::string file;      // inside the output folder, e.g. "01-desktop.png"
    std::string caption;   // one line of explanation
};

struct TourResult {
    std::vector<TourFrame> frames;       // the ones written, in order
    std::optional<std::string> failure;  // why the tour stopped early
};

// The built-in tour: Durazizi on the default desktop in virtual time, in a
// fresh home of its own, shown one step at a time as numbered PNG frames and
// an index.html that explains each. A step whose result is not what a user
// would see stops the tour with the reason; the frames before it stay.
TourResult runTour(const TourOptions& options);

// `durazizi-sim tour OUT_DIR`: the tour, the output folder on `err`, and the
// exit status (0, 1 when the tour could not complete).
int tourCommand(const TourOptions& options, std::ostream& err);

}  // namespace scenario
