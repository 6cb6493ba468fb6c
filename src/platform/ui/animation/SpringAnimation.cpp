#include "platform/ui/animation/SpringAnimation.hpp"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {
constexpr double settleTolerance = 1e-3;
}

// The displacement from the target, y = x − 1, solves m·y'' + c·y' + k·y = 0
// with y(0) = −1 and y'(0) = v0.
struct SpringAnimation::Motion {
    enum class Kind { under, critical, over } kind = Kind::critical;
    double omega0 = 0, zeta = 1;
    double a = -1, b = 0;      // under: e^(−ζω0 t)(a cos ωd t + b sin ωd t); critical: e^(−ω0 t)(a + b t)
    double omegaD = 0;
    double r1 = 0, r2 = 0;     // over: c1 e^(r1 t) + c2 e^(r2 t)
    double c1 = 0, c2 = 0;

    double displacement(double t) const {
        switch (kind) {
            case Kind::under:
                return std::exp(-zeta * omega0 * t) * (a * std::cos(omegaD * t) + b * std::sin(omegaD * t));
            case Kind::critical: return std::exp(-omega0 * t) * (a + b * t);
            case Kind::over: return c1 * std::exp(r1 * t) + c2 * std::exp(r2 * t);
        }
        return 0;
    }
    // An upper bound of |displacement| from t on.
    double bound(double t) const {
        switch (kind) {
            case Kind::under: return std::exp(-zeta * omega0 * t) * std::hypot(a, b);
            case Kind::critical: return std::exp(-omega0 * t) * (std::abs(a) + std::abs(b) * t);
            case Kind::over: return std::abs(c1) * std::exp(r1 * t) + std::abs(c2) * std::exp(r2 * t);
        }
        return 0;
    }
    double settlingTime() const {
        if (!(omega0 > 0) || !std::isfinite(omega0)) return 0;
        if (kind == Kind::under) {
            const double t = std::log(std::hypot(a, b) / settleTolerance) / (zeta * omega0);
            return std::max(0.0, t);
        }
        // The bound falls for good once past its peak: find a time below the
        // tolerance by doubling, then the crossing by bisection.
        double high = 1 / omega0;
        int guard = 0;
        while (bound(high) > settleTolerance && guard++ < 200) high *= 2;
        double low = 0;
        for (int i = 0; i < 60; ++i) {
            const double mid = (low + high) / 2;
            if (bound(mid) > settleTolerance) low = mid;
            else high = mid;
        }
        return high;
    }
};

SpringAnimation::Motion SpringAnimation::motion() const {
    Motion m;
    const double mass = mass_ > 0 ? mass_ : 1.0;
    const double k = std::max(stiffness_, 1e-9);
    const double c = std::max(damping_, 0.0);
    const double v0 = std::isfinite(initialVelocity_) ? initialVelocity_ : 0.0;
    m.omega0 = std::sqrt(k / mass);
    m.zeta = c / (2 * std::sqrt(k * mass));
    if (std::abs(m.zeta - 1) < 1e-9) {
        m.kind = Motion::Kind::critical;
        m.b = v0 - m.omega0;
    } else if (m.zeta < 1) {
        m.kind = Motion::Kind::under;
        m.omegaD = m.omega0 * std::sqrt(1 - m.zeta * m.zeta);
        m.b = (v0 - m.zeta * m.omega0) / m.omegaD;
    } else {
        m.kind = Motion::Kind::over;
        const double root = std::sqrt(m.zeta * m.zeta - 1);
        m.r1 = -m.omega0 * (m.zeta - root);
        m.r2 = -m.omega0 * (m.zeta + root);
        m.c2 = (v0 + m.r1) / (m.r2 - m.r1);
        m.c1 = -1 - m.c2;
    }
    return m;
}

std::shared_ptr<SpringAnimation> SpringAnimation::create(std::string keyPath) {
    return std::shared_ptr<SpringAnimation>(new SpringAnimation(std::move(keyPath)));
}

std::shared_ptr<SpringAnimation> SpringAnimation::viewSpring(std::string keyPath, double dampingRatio,
                                                             double initialVelocity, double duration) {
    auto spring = create(std::move(keyPath));
    const double zeta = std::isfinite(dampingRatio) ? std::max(dampingRatio, 0.05) : 1.0;
    const double d = duration > 0 && std::isfinite(duration) ? duration : defaultDuration;
    spring->setMass(1);
    spring->setInitialVelocity(std::isfinite(initialVelocity) ? initialVelocity : 0.0);
    spring->setDuration(d);
    // The settling time falls as the natural frequency rises: search the
    // frequency (in log space) whose spring settles at the duration.
    auto configure = [&](double omega0) {
        spring->setStiffness(omega0 * omega0);
        spring->setDamping(2 * zeta * omega0);
    };
    double low = std::log(1e-3), high = std::log(1e5);
    for (int i = 0; i < 40; ++i) {
        const double mid = (low + high) / 2;
        configure(std::exp(mid));
        if (spring->settlingDuration() > d) low = mid;
        else high = mid;
    }
    configure(std::exp(high));
    return spring;
}

std::shared_ptr<Animation> SpringAnimation::copy() const {
    return std::shared_ptr<SpringAnimation>(new SpringAnimation(*this));
}

double SpringAnimation::settlingDuration() const { return motion().settlingTime(); }

double SpringAnimation::position(double seconds) const { return 1 + motion().displacement(std::max(0.0, seconds)); }

}  // namespace platform::ui
