#include "kalorix/core/thermodynamics.h"

#include <cmath>
#include <cstdint>

namespace kalorix {

namespace {

// The product is rounded to double before it is used further. Compilers may
// otherwise fuse it with the following addition into one multiply-add, which
// rounds only once: round_to_tenth(-0.05) would then give -0.1 instead of 0.
double rounded_product(double a, double b) {
    const volatile double product = a * b;
    return product;
}

}  // namespace

// Quotients and logarithms are evaluated in plain double, not long double:
// results must not depend on the platform's wider types, and the maximum
// search of the theoretical analysis compares neighbouring sums whose
// mathematical values can be equal, so the last bits have to be reproducible.
//
// The sum runs j = 0 .. m-1 without factorials, gamma functions or the
// N <-> Nmax - N symmetry; each of those would change the last bits.
double room_entropy(double Nmax, double N) {
    const auto m = static_cast<std::int32_t>(std::nearbyint(N));
    double S = 0.0;
    if (N == 0.0) {
        return 0.0;
    }
    for (std::int32_t j = 0; j < m; ++j) {
        const double q = (Nmax - j) / (N - j);
        S += std::log(q);
    }
    return S;
}

double room_temperature(double Nmax, double N, double excitation_energy) {
    const double free = Nmax - N;
    if (free > 0.0 && N > 0.0) {
        const double L = std::log(free / N);
        if (L == 0.0) {
            return infinite_temperature;
        }
        // L is multiplied by k first; E is then divided by the product.
        return excitation_energy / (L * boltzmann_constant);
    }
    return 0.0;
}

// Multiplying by the double 0.1 (rather than dividing by 10) is what the
// displayed values are defined by; the two differ in the last bit, e.g. for 3.
double round_to_tenth(double T) { return std::floor(rounded_product(10.0, T) + 0.5) * 0.1; }

double shown_temperature(double T, double scale) { return std::floor(scale * T); }

double inner_energy(double N, double excitation_energy) { return N * excitation_energy; }

double free_energy(double U, double T, double S) { return U - rounded_product(T, S); }

}  // namespace kalorix
