#pragma once

#include <QPointF>

// The motion of the like button, as plain functions of time so it can be checked without a
// screen: the image springs from nothing to full size, and a like sends a short burst of
// particles off the button's outline that drift outwards and fade.
namespace ZanMotion {

// The spring: 0.5 s, damping ratio 0.3, initial velocity 5 (distances per second).
inline constexpr double SpringSeconds = 0.5;
inline constexpr double SpringDamping = 0.3;
inline constexpr double SpringVelocity = 5.0;

// A damped spring from 0 to 1 at `progress` (0 to 1) of `seconds`, stiff enough to be settled
// within a thousandth by the end; exactly 1 from progress 1 on, 0 before 0. An underdamped
// spring (damping below 1) overshoots 1 and swings back.
double springValue(double progress, double damping, double initialVelocity, double seconds);
// The like button's spring, in the form QEasingCurve::setCustomType takes.
qreal zanSpring(qreal progress);

// The burst: a birth rate easing out from 100 per second to 0 within 0.25 s; each particle lives
// 1 s, loses 1.0 of opacity per second and moves at 50 ± 50 per second.
inline constexpr double BurstSeconds = 0.25;
inline constexpr double StartBirthRate = 100;
inline constexpr double Lifetime = 1.0;
inline constexpr double AlphaSpeed = -1.0;
inline constexpr double Velocity = 50;
inline constexpr double VelocityRange = 50;

// Particles born per second `seconds` after the burst began (0 before it and after 0.25 s).
double birthRateAt(double seconds);
// Particles born from the start of the burst until `seconds` (the integral of the rate);
// whole particles are born as it passes each integer.
double birthsUntil(double seconds);

struct Particle {
    QPointF origin;
    QPointF velocity; // per second
};
// The particle born at `angle` (radians) on the circle of `radius` round `centre`, heading away
// from the centre; `spread` (0 to 1) picks its speed within the velocity range.
Particle particleAt(QPointF centre, double radius, double angle, double spread);
QPointF positionAt(const Particle &particle, double age);
// Opacity at `age` seconds: 1 falling by 1 a second, never below 0.
double alphaAt(double age);

} // namespace ZanMotion
