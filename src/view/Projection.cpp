// The view box and the size caption of a scene set-up.
#include "view/Projection.h"

#include <algorithm>
#include <cmath>

namespace vexlor::view {

ViewBox ProjectionBox(int32_t extentMax, int32_t extentMin) {
    double lo = extentMin;
    double hi = extentMax;
    if (extentMax == extentMin) {
        lo -= 1;
        hi += 1;
    }
    ViewBox box{lo, hi, lo, hi, 100.0 * hi, 100.0 * lo};
    const bool straddlesZero = (hi > 0 && lo < 0) || (hi < 0 && lo > 0);
    if (!straddlesZero) {
        const double depth = 100.0 * std::max(std::fabs(lo), std::fabs(hi));
        box.Near = depth;
        box.Far = -depth;
    }
    return box;
}

float ModelSizeMetres(int32_t extentMax, int32_t extentMin) {
    // A model without faces leaves the bounds inverted; it has no size rather than a negative one.
    if (extentMax < extentMin) return 0.0f;
    const long double span = static_cast<long double>(int64_t{extentMax} - int64_t{extentMin});
    return static_cast<float>(span * (1.0L / 41.0L));
}

std::string ModelSizeCaption(int32_t extentMax, int32_t extentMin, const NumberText& numbers) {
    return "Model size = approx. " + numbers.FloatText(ModelSizeMetres(extentMax, extentMin)) +
           " metres (BoP/XWA)";
}

}  // namespace vexlor::view
