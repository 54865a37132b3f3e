#include "diffundo/core/ln_g.h"

#include <cmath>

namespace diffundo {

double ln_factorial(int n) {
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) {
        sum += std::log(static_cast<double>(i));
    }
    return sum;
}

double ln_g(int N, int m) { return ln_factorial(N) - ln_factorial(m) - ln_factorial(N - m); }

}  // namespace diffundo
