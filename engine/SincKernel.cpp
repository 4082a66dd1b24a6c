#include "engine/SincKernel.h"

#include <cmath>
#include <numbers>

namespace calmfield::engine {
namespace {

constexpr double kKaiserBeta = 6.0;

double besselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// The kernel `x` frames from its centre.
double kernelAt(double x) {
    const double ratio = x / static_cast<double>(kKernelHalfWidth);
    if (std::abs(ratio) >= 1.0)
        return 0.0;
    const double window =
        besselI0(kKaiserBeta * std::sqrt(1.0 - ratio * ratio)) / besselI0(kKaiserBeta);
    const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
    return sinc * window;
}

SincKernel makeSincKernel() {
    SincKernel kernel{};
    for (std::size_t p = 0; p <= kPhases; ++p) {
        const double fraction = static_cast<double>(p) / kPhases;
        for (std::size_t t = 0; t < kKernelTaps; ++t) {
            const double offset = static_cast<double>(t) - static_cast<double>(kFramesBefore);
            const auto weight = static_cast<float>(kernelAt(offset - fraction));
            kernel.stereoRows[p][2 * t] = weight;
            kernel.stereoRows[p][2 * t + 1] = weight;
        }
    }
    for (std::size_t j = 0; j < kernel.shape.size(); ++j)
        kernel.shape[j] = static_cast<float>(kernelAt(static_cast<double>(j) / kPhases));
    return kernel;
}

const SincKernel kKernel = makeSincKernel();

} // namespace

const SincKernel& sincKernel() noexcept {
    return kKernel;
}

} // namespace calmfield::engine
