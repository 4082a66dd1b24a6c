// How long a sound file takes to load and how much memory loading it takes at its peak, for a
// sound as long as the program's own and for the longest sound that is played at 48 kHz.
#include "engine/SoundBuffer.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::filesystem::path writeStereoWav(double seconds, int rate) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("calmfield-bench-load-" + std::to_string(rate) + ".wav");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    const auto frames = static_cast<sf_count_t>(seconds * rate);
    std::vector<short> block(2 * 65536);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<short>((i * 7919) % 20000 - 10000);
    for (sf_count_t written = 0; written < frames; written += 65536)
        sf_writef_short(file, block.data(), std::min<sf_count_t>(65536, frames - written));
    sf_close(file);
    return path;
}

// A field of /proc/self/status, in kilobytes.
long statusKilobytes(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string field;
    long kilobytes = 0;
    while (status >> field) {
        if (field == name + ":" && status >> kilobytes)
            return kilobytes;
    }
    return -1;
}

// The most resident memory that loading `path` adds, measured in a fresh child process.
double peakLoadingMegabytes(const std::filesystem::path& path) {
    int report[2];
    if (::pipe(report) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::malloc_trim(0); // what earlier loads freed would otherwise be reused unseen
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const long before = statusKilobytes("VmRSS");
        const bool loaded = calmfield::engine::loadSoundFile(path).ok();
        const long added = loaded ? statusKilobytes("VmHWM") - before : -1;
        (void)!::write(report[1], &added, sizeof added);
        ::_exit(0);
    }
    long added = -1;
    (void)!::read(report[0], &added, sizeof added);
    ::waitpid(child, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);
    return static_cast<double>(added) / 1024.0;
}

void BM_LoadSound(benchmark::State& state) {
    const double seconds = static_cast<double>(state.range(0)) / 10.0;
    const int rate = static_cast<int>(state.range(1));
    const auto path = writeStereoWav(seconds, rate);
    state.counters["peak_MB"] = peakLoadingMegabytes(path);
    std::size_t frames = 0;
    for (auto _ : state) {
        const auto result = calmfield::engine::loadSoundFile(path);
        if (!result.ok()) {
            state.SkipWithError("the sound file was refused");
            break;
        }
        frames = result.value()->frames();
    }
    const double soundMegabytes = static_cast<double>(frames) * 4.0 / (1024.0 * 1024.0);
    state.counters["sound_MB"] = soundMegabytes;
    state.counters["frames_per_s"] = benchmark::Counter(
        static_cast<double>(frames), benchmark::Counter::kIsIterationInvariantRate);
    std::filesystem::remove(path);
}

BENCHMARK(BM_LoadSound)
    ->Args({476, 22050})  // as long as the program's own sound files
    ->Args({6000, 48000}) // the longest sound played at 48 kHz
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
