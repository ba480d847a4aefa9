// The pan worked out from a move on the screen, through the pseudo-inverse of the rotation's
// top left block.
#include "view/PanSolve.h"

#include <cmath>

namespace vexlor::view {

namespace {

// Below this the smaller singular value of the block (the cosine between the model's z axis
// and the line of sight) counts as zero.
constexpr double kSmallestSingularValue = 0.05;

}  // namespace

void PanForEyeMove(const FrameTransform& frame, double dx, double dy, double& panX, double& panY) {
    panX = panY = 0;
    if (!frame.Usable()) return;
    const Mat3& r = frame.Rotation();
    const double a = r[0][0], b = r[0][1], c = r[1][0], d = r[1][1];
    const double s = frame.Scale();
    const double det = a * d - b * c;
    if (std::fabs(det) >= kSmallestSingularValue) {
        panX = (d * dx - b * dy) / det / s;
        panY = (-c * dx + a * dy) / det / s;
        return;
    }
    // The block's singular values are 1 and |det|: keep the part of the move along the left
    // singular vector of 1, the direction the pan can reach. M^T M = [[p, q], [q, t]].
    const double p = a * a + c * c, q = a * b + c * d, t = b * b + d * d;
    const double mean = (p + t) / 2;
    const double spread = std::sqrt((p - t) * (p - t) / 4 + q * q);
    const double largest = mean + spread;
    if (largest <= 0) return;
    // Its right singular vector v, and u = M v / sigma.
    double vx = q, vy = largest - p;
    if (std::fabs(vx) + std::fabs(vy) < 1e-12) {
        vx = largest - t;
        vy = q;
    }
    const double length = std::hypot(vx, vy);
    if (length == 0) return;
    vx /= length;
    vy /= length;
    const double sigma = std::sqrt(largest);
    const double ux = (a * vx + b * vy) / sigma, uy = (c * vx + d * vy) / sigma;
    const double along = (ux * dx + uy * dy) / sigma / s;
    panX = vx * along;
    panY = vy * along;
}

void EyeMoveForPan(const FrameTransform& frame, double panX, double panY, double& dx, double& dy) {
    const Mat3& r = frame.Rotation();
    dx = (r[0][0] * panX + r[0][1] * panY) * frame.Scale();
    dy = (r[1][0] * panX + r[1][1] * panY) * frame.Scale();
}

}  // namespace vexlor::view
