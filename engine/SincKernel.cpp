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

// The kernel `x` frames from its centre; exactly zero at the other whole frames, so that a
// position on a frame reads that frame unchanged.
double kernelAt(double x, std::size_t halfWidth) {
    const double ratio = x / static_cast<double>(halfWidth);
    if (std::abs(ratio) >= 1.0 || (x != 0.0 && x == std::round(x)))
        return 0.0;
    const double window =
        besselI0(kKaiserBeta * std::sqrt(1.0 - ratio * ratio)) / besselI0(kKaiserBeta);
    const double sinc = x == 0.0 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
    return sinc * window;
}

template <class Kernel> Kernel makeSincKernel() {
    Kernel kernel{};
    for (std::size_t p = 0; p <= kPhases; ++p) {
        const double fraction = static_cast<double>(p) / kPhases;
        for (std::size_t t = 0; t < Kernel::kTaps; ++t) {
            const double offset =
                static_cast<double>(t) - static_cast<double>(Kernel::kFramesBefore);
            const auto weight = static_cast<float>(kernelAt(offset - fraction, Kernel::kHalfWidth));
            for (std::size_t parity = 0; parity < Kernel::kParities; ++parity) {
                const bool halved = Kernel::kParities == 2 && (parity + t) % 2 == 1;
                const float stored = halved ? 2.0f * weight : weight;
                kernel.stereoRows[parity][p][2 * t] = stored;
                kernel.stereoRows[parity][p][2 * t + 1] = stored;
            }
        }
    }
    for (std::size_t j = 0; j < kernel.shape.size(); ++j)
        kernel.shape[j] =
            static_cast<float>(kernelAt(static_cast<double>(j) / kPhases, Kernel::kHalfWidth));
    return kernel;
}

const LongKernel kLongKernel = makeSincKernel<LongKernel>();
const ShortKernel kShortKernel = makeSincKernel<ShortKernel>();

} // namespace

const LongKernel& longKernel() noexcept {
    return kLongKernel;
}

const ShortKernel& shortKernel() noexcept {
    return kShortKernel;
}

} // namespace calmfield::engine
