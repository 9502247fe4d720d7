#include "ZanMotion.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace ZanMotion {

namespace {
// What is left of the spring's first swing when its time is up.
constexpr double SettledWithin = 0.001;
} // namespace

double springValue(double progress, double damping, double initialVelocity, double seconds) {
    if (progress <= 0)
        return 0;
    if (progress >= 1 || seconds <= 0)
        return 1;
    damping = std::clamp(damping, 0.01, 0.99);
    // The natural frequency that brings the envelope down to SettledWithin at the end.
    const double omega = -std::log(SettledWithin) / (damping * seconds);
    const double dampedOmega = omega * std::sqrt(1 - damping * damping);
    const double t = progress * seconds;
    // x(t) = 1 + e^(-ζωt) (A cos ωd t + B sin ωd t) with x(0) = 0 and x'(0) = initialVelocity.
    const double a = -1;
    const double b = (initialVelocity + damping * omega * a) / dampedOmega;
    return 1 + std::exp(-damping * omega * t) *
                   (a * std::cos(dampedOmega * t) + b * std::sin(dampedOmega * t));
}

qreal zanSpring(qreal progress) {
    return springValue(progress, SpringDamping, SpringVelocity, SpringSeconds);
}

// Ease-out as a quadratic: rate = start * (1 - x)^2 with x the share of the burst gone by.
double birthRateAt(double seconds) {
    if (seconds < 0 || seconds >= BurstSeconds)
        return 0;
    const double left = 1 - seconds / BurstSeconds;
    return StartBirthRate * left * left;
}

double birthsUntil(double seconds) {
    const double x = std::clamp(seconds / BurstSeconds, 0.0, 1.0);
    const double left = 1 - x;
    return StartBirthRate * BurstSeconds * (1 - left * left * left) / 3;
}

Particle particleAt(QPointF centre, double radius, double angle, double spread) {
    const QPointF outwards(std::cos(angle), std::sin(angle));
    const double speed = Velocity + VelocityRange * (2 * std::clamp(spread, 0.0, 1.0) - 1);
    return {centre + outwards * radius, outwards * speed};
}

QPointF positionAt(const Particle &particle, double age) {
    return particle.origin + particle.velocity * age;
}

double alphaAt(double age) {
    return std::clamp(1 + AlphaSpeed * std::max(age, 0.0), 0.0, 1.0);
}

} // namespace ZanMotion
