#pragma once

#include <complex>
#include <cstddef>
#include <vector>

namespace calmfield::tools {

bool isPowerOfTwo(std::size_t n);

// In-place radix-2 transforms; the length must be a power of two (throws std::invalid_argument
// otherwise). forwardFft gives X[k] = sum x[n] e^(-2 pi i k n / N); inverseFft undoes it,
// including the 1/N factor.
void forwardFft(std::vector<std::complex<double>>& data);
void inverseFft(std::vector<std::complex<double>>& data);

} // namespace calmfield::tools
