// The analysis windows the FFT pitch estimator can apply before its
// transform, looked up by the numeric id its configuration names.
#pragma once

#include <functional>
#include <map>
#include <vector>

// Chebyshev polynomial of the first kind, T_order(x), for any real x.
double ChebyshevPolynomial(int order, double x);

// Dolph-Chebyshev window of n coefficients whose side lobes lie
// sideLobeDb below the main lobe; the centre coefficients are 1.0.
std::vector<float> DolphChebyshevWindow(int n, double sideLobeDb);

class WindowFunctionRegistry {
public:
    enum Id { None = 0, Hamming = 1, Blackman = 3, DolphChebyshev60 = 4, Hann = 5, BlackmanHarris = 6 };

    using Function = std::function<bool(int n, std::vector<float>& out)>;

    WindowFunctionRegistry();

    // Fills out with n coefficients of window id; false when the id is
    // unknown or its function fills nothing.
    bool Fill(int id, int n, std::vector<float>& out) const;

private:
    std::map<int, Function> functions_;
};
