// Single-precision complex value used by the FFT pitch estimator. Each value
// carries the constants pi, pi/2 and 2*pi ahead of its parts, so the layout
// of a vector of them is fixed at five floats per element.
#pragma once

#include <cmath>

struct Complex {
    static constexpr float kPi = 3.14159265f;
    static constexpr float kHalfPi = 1.57079633f;
    static constexpr float kTwoPi = 6.28318531f;

    float pi = kPi;
    float halfPi = kHalfPi;
    float twoPi = kTwoPi;
    float re = 0.0f;
    float im = 0.0f;

    Complex() = default;
    Complex(float real, float imag)
        : re(real)
        , im(imag)
    {
    }

    Complex Conjugate() const { return Complex(re, -im); }
    Complex operator+(const Complex& o) const { return Complex(re + o.re, im + o.im); }
    Complex operator-(const Complex& o) const { return Complex(re - o.re, im - o.im); }
    Complex operator*(const Complex& o) const { return Complex(re * o.re - im * o.im, re * o.im + im * o.re); }
    Complex Scaled(float s) const { return Complex(re * s, im * s); }
    float Magnitude() const { return std::sqrt(re * re + im * im); }
    // atan2 is left out when the real part is exactly zero, as the estimator
    // has always reported such bins with phase 0.
    float Phase() const { return re == 0.0f ? 0.0f : std::atan2(im, re); }
    Complex ToPolar() const { return Complex(Magnitude(), Phase()); }
};
