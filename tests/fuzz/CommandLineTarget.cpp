// The program's command line: the arguments are the input's parts between zero bytes.

#include "app/CommandLine.h"
#include "instance/SleepDuration.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

// Whether the command line asks for the mix to be rendered to a file, in a program that can; a
// render asked for names its file, lasts a while and has a rate.
template <typename Line> bool asksForARender(const Line& line) {
    if constexpr (requires { line.render; }) {
        if (!line.render)
            return false;
        require(!line.render->file.isEmpty() && line.render->length.count() > 0 &&
                    line.render->rate > 0,
                "a render names its file, its length and its rate");
        return true;
    } else {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{QStringLiteral("calmfield")};
    const char* text = reinterpret_cast<const char*>(data);
    for (std::size_t start = 0, at = 0; at <= size; ++at) {
        if (at == size || data[at] == 0) {
            arguments.append(QString::fromUtf8(text + start, static_cast<qsizetype>(at - start)));
            start = at + 1;
        }
    }
    const app::CommandLine line = app::readCommandLine(arguments);

    if (asksForARender(line)) {
        require(!line.run && line.output.isEmpty() && line.errors.isEmpty() &&
                    line.exitStatus == 0 && !line.sleep,
                "a render is asked for alone, without a window, a message or a sleep timer");
    } else if (line.listRoutines) {
        require(!line.run && line.output.isEmpty() && line.errors.isEmpty() && !line.sleep,
                "the routines are asked for alone, with nothing said yet");
    } else if (line.run) {
        require(line.output.isEmpty() && line.errors.isEmpty() && line.exitStatus == 0,
                "a command line that runs the program says nothing");
    } else if (!line.errors.isEmpty()) {
        require(line.output.isEmpty() && line.exitStatus == 2,
                "a refused command line ends with the usage status and nothing on the output");
        require(
            line.errors.startsWith(QStringLiteral("calmfield: ")) &&
                line.errors.endsWith(QStringLiteral("Try \"calmfield --help\" for the options.\n")),
            "a refusal names the program and points to --help");
    } else {
        require(line.exitStatus == 0 && (line.output.startsWith(QStringLiteral("Usage: ")) ||
                                         line.output.startsWith(QStringLiteral("Calmfield "))),
                "a command line that ends the program at once answers with help or version");
    }
    if (line.sleep)
        require(line.run && *line.sleep >= instance::kShortestSleep &&
                    *line.sleep <= instance::kLongestSleep,
                "a sleep timer comes only with a run, within its range");
    return 0;
}
