#pragma once
// The fitted velocity curve of one run: the solution of M·dv/dt = −(F0 + k·v²) that starts at
// the run's first sample at time 0. Internal to libCoastfit.
#include <cmath>

namespace coastfit {

class FittedCurve {
public:
    enum class Form {
        Zero,        // k not greater than 0 (NaN included), or F0 not a number: written as 0
        Tan,         // F0 > 0, k > 0: decelerates to standstill and stays there
        Reciprocal,  // F0 = 0, k > 0: v1 / (1 + k·v1·t/M)
        Hyperbolic,  // F0 < 0, k > 0: tanh (below) or coth (above) form towards sqrt(-F0/k)
    };

    FittedCurve(double F0, double k, double M, double v1) : M_(M), v1_(v1) {
        if (!(k > 0.0) || std::isnan(F0)) {
            form_ = Form::Zero;
        } else if (F0 > 0.0) {
            form_ = Form::Tan;
            const double sk = std::sqrt(k), sf = std::sqrt(F0);
            scale_ = sf / sk;
            theta0_ = std::atan(sk / sf * v1);
            rate_ = sk * sf;
        } else {
            // Speed is a magnitude and the model only holds for v >= 0: a negative start counts
            // as standstill, which also keeps the reciprocal form clear of its pole.
            if (v1_ < 0.0) v1_ = 0.0;
            k_ = k;
            const double vs = std::sqrt(-F0) / std::sqrt(k);
            const double w = v1_ / vs;
            if (F0 == 0.0 || !(vs > 0.0) || !std::isfinite(w)) {
                form_ = Form::Reciprocal;
            } else {
                form_ = Form::Hyperbolic;
                scale_ = vs;
                theta0_ = w;
            }
        }
    }

    Form form() const { return form_; }

    // Velocity at elapsed time t (s) after the first sample.
    double at(double t) const {
        switch (form_) {
        case Form::Zero:
            return 0.0;
        case Form::Tan: {
            const double theta = theta0_ - rate_ * t / M_;
            // Once the argument reaches 0 the vehicle stands: no negative speeds, no pole.
            return theta <= 0.0 ? 0.0 : scale_ * std::tan(theta);
        }
        case Form::Reciprocal:
            return v1_ / (1.0 + k_ * v1_ * t / M_);
        case Form::Hyperbolic: {
            // vs·tanh(atanh(w) + s) and vs·coth(acoth(w) + s) are both vs·(w + T)/(1 + w·T)
            // with T = tanh(s), s = vs·k·t/M; for w >= 0 the denominator never vanishes.
            const double T = std::tanh(scale_ * k_ * t / M_);
            return scale_ * (theta0_ + T) / (1.0 + theta0_ * T);
        }
        }
        return 0.0;
    }

private:
    Form form_ = Form::Zero;
    double M_;
    double v1_;
    double k_ = 0.0;
    double scale_ = 0.0;   // Tan: sqrt(F0/k); Hyperbolic: the limit speed vs
    double theta0_ = 0.0;  // Tan: the starting argument; Hyperbolic: v1 / vs
    double rate_ = 0.0;    // Tan: sqrt(k)·sqrt(F0)
};

}  // namespace coastfit
