#include "tools/Fft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace calmfield::tools {
namespace {

void bitReverseOrder(std::vector<std::complex<double>>& data) {
    const std::size_t n = data.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(data[i], data[j]);
    }
}

// Plain complex product: the standard operator also sorts out infinities, which the inner loop
// does not need.
std::complex<double> multiply(std::complex<double> a, std::complex<double> b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// direction -1 for the forward transform, +1 for the inverse (unscaled).
void transform(std::vector<std::complex<double>>& data, int direction) {
    const std::size_t n = data.size();
    if (!isPowerOfTwo(n))
        throw std::invalid_argument("transform length must be a power of two");
    bitReverseOrder(data);
    // Twiddles computed directly rather than by repeated multiplication keep the error of a
    // million-point transform near machine precision; a span of s uses every (n / s)-th one.
    std::vector<std::complex<double>> twiddles(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const double angle =
            direction * 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n);
        twiddles[k] = {std::cos(angle), std::sin(angle)};
    }
    for (std::size_t span = 2; span <= n; span <<= 1) {
        const std::size_t half = span / 2;
        const std::size_t stride = n / span;
        for (std::size_t start = 0; start < n; start += span) {
            for (std::size_t k = 0; k < half; ++k) {
                const std::complex<double> even = data[start + k];
                const std::complex<double> odd =
                    multiply(data[start + k + half], twiddles[k * stride]);
                data[start + k] = even + odd;
                data[start + k + half] = even - odd;
            }
        }
    }
}

} // namespace

bool isPowerOfTwo(std::size_t n) {
    return n != 0 && (n & (n - 1)) == 0;
}

void forwardFft(std::vector<std::complex<double>>& data) {
    transform(data, -1);
}

void inverseFft(std::vector<std::complex<double>>& data) {
    transform(data, +1);
    const double scale = 1.0 / static_cast<double>(data.size());
    for (auto& value : data)
        value *= scale;
}

} // namespace calmfield::tools
