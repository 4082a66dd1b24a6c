#include "app/CommandLine.h"

#include "files/Result.h"
#include "instance/SleepDuration.h"
#include "render/MixRender.h"
#include "render/RenderFormat.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

namespace calmfield::app {
namespace {

// The status of a command line that cannot be used, as command-line tools give it.
constexpr int kUsageStatus = 2;

const char kHelp[] =
    "Usage: calmfield [options]\n"
    "       calmfield [--sleep DURATION] FILE.clm\n"
    "       calmfield --headless [--mix FILE.clm | FILE.clm] [--sleep DURATION]\n"
    "       calmfield --render FILE --length DURATION [--mix FILE.clm] [--rate HZ]\n"
    "                 [--flat]\n"
    "       calmfield --routines\n"
    "Plays soothing noise colours, mixed to taste, to mask distracting sounds.\n"
    "\n"
    "FILE.clm, a mix saved with \"Save Config\", is loaded as \"Load  Config\"\n"
    "loads it. When Calmfield already runs, the running copy loads it and this\n"
    "command ends: with status 0 once the mix is loaded, and otherwise with\n"
    "status 1, telling why. A mix saved with drift, set in the Drift window,\n"
    "drifts wherever it plays or renders.\n"
    "\n"
    "Options:\n"
    "  --sleep DURATION  Fade out and end after DURATION: a number of minutes\n"
    "                    (\"45\"), or hours, minutes and seconds such as\n"
    "                    \"90s\", \"45m\", \"1h30m\" or \"2h\", from 10 seconds\n"
    "                    to 24 hours. When Calmfield already runs, it sets the\n"
    "                    sleep timer there.\n"
    "  --headless        Play without any window, as on a computer with no\n"
    "                    desktop or as a user service; a FILE.clm given is\n"
    "                    played as --mix plays it. The media controls pause\n"
    "                    and play it; SIGTERM or their Quit ends it.\n"
    "  --render FILE     Write the mix to FILE, ending in .wav, .flac, .ogg or\n"
    "                    .opus, and end, without a window or sound server.\n"
    "                    The noise fades in over 2 seconds and out over the\n"
    "                    last 10.\n"
    "  --length DURATION How long the rendered noise lasts, as --sleep reads\n"
    "                    it, from 12 seconds to 24 hours.\n"
    "  --mix FILE.clm    Play (--headless) or render the mix in this\n"
    "                    configuration file rather than the one Calmfield\n"
    "                    starts with.\n"
    "  --rate HZ         The rendered file's sample rate, from 8000 to 192000\n"
    "                    (48000 unless told); .opus takes only 8000, 12000,\n"
    "                    16000, 24000 or 48000.\n"
    "  --flat            Render without the tone set in the Tone window, as if\n"
    "                    every band were at 0 dB and the notch unticked; the\n"
    "                    mix's drift is rendered all the same.\n"
    "  --routines        Print the routines in ~/.config/calmfield/routines and\n"
    "                    the next start or end, and end; with status 1 when a\n"
    "                    line of the file cannot be read.\n"
    "  -h, --help        Show this help and end.\n"
    "  -v, --version     Show the version and end.\n";

// The render asked for by --render and its options, or why it cannot be made.
files::Result<rendercommand::RenderRequest, QString> readRender(const QCommandLineParser& parser) {
    rendercommand::RenderRequest request;
    request.file = parser.value(QStringLiteral("render"));
    if (request.file.isEmpty())
        return files::failure(QStringLiteral("--render needs the name of the file to write."));
    if (!parser.isSet(QStringLiteral("length")))
        return files::failure(QStringLiteral("--render needs --length, how long the noise lasts."));
    const QString length = parser.value(QStringLiteral("length"));
    const auto duration =
        instance::readDuration(length, render::kShortestRender, render::kLongestRender);
    if (!duration)
        return files::failure(
            QStringLiteral("A render cannot last \"%1\". It takes a number of "
                           "minutes (\"45\"), or hours, minutes and seconds such as "
                           "\"90s\", \"45m\" or \"8h\", from 12 seconds to 24 hours.")
                .arg(length));
    request.length = *duration;
    request.mixFile = parser.value(QStringLiteral("mix"));
    request.flat = parser.isSet(QStringLiteral("flat"));
    request.rate = render::kDefaultRate;
    if (parser.isSet(QStringLiteral("rate"))) {
        bool number = false;
        const uint rate = parser.value(QStringLiteral("rate")).toUInt(&number);
        if (!number)
            return files::failure(QStringLiteral("The rate \"%1\" is not a whole number of hertz.")
                                      .arg(parser.value(QStringLiteral("rate"))));
        request.rate = rate;
    }
    const render::FormatChoice format =
        render::chooseFormat(QFile::encodeName(request.file).toStdString(), request.rate,
                             static_cast<std::uint64_t>(request.length.count()) * request.rate);
    if (!format.ok())
        return files::failure(QString::fromStdString(format.reason()));
    return request;
}

// A command line answered with `output`, the program ending there.
CommandLine answered(const QString& output) {
    CommandLine line;
    line.run = false;
    line.output = output;
    return line;
}

CommandLine refused(const QString& reason) {
    CommandLine line;
    line.run = false;
    line.errors =
        QStringLiteral("calmfield: %1\nTry \"calmfield --help\" for the options.\n").arg(reason);
    line.exitStatus = kUsageStatus;
    return line;
}

} // namespace

CommandLine readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // "-session <name>" is how a desktop session restarts the program; the application object
    // takes it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption session(QStringLiteral("session"), {}, QStringLiteral("name"));
    const QCommandLineOption sleep(QStringLiteral("sleep"), {}, QStringLiteral("duration"));
    const QCommandLineOption render(QStringLiteral("render"), {}, QStringLiteral("file"));
    const QCommandLineOption length(QStringLiteral("length"), {}, QStringLiteral("duration"));
    const QCommandLineOption mix(QStringLiteral("mix"), {}, QStringLiteral("file"));
    const QCommandLineOption rate(QStringLiteral("rate"), {}, QStringLiteral("hz"));
    const QCommandLineOption headless(QStringLiteral("headless"));
    const QCommandLineOption flat(QStringLiteral("flat"));
    const QCommandLineOption routines(QStringLiteral("routines"));
    parser.addOptions(
        {help, version, session, sleep, render, length, mix, rate, headless, flat, routines});

    if (!parser.parse(arguments))
        return refused(parser.errorText());
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return refused(
            QStringLiteral("Only one mix can be opened at a time, not %1: '%2' and '%3'.")
                .arg(files.size())
                .arg(files[0], files[1]));
    if (parser.isSet(help))
        return answered(QString::fromLatin1(kHelp));
    if (parser.isSet(version))
        return answered(QStringLiteral("Calmfield " CALMFIELD_VERSION "\n"));
    CommandLine running;
    if (parser.isSet(routines)) {
        if (parser.optionNames().size() > 1 || !files.isEmpty())
            return refused(QStringLiteral("--routines is used on its own."));
        running.listRoutines = true;
        running.run = false;
        return running;
    }
    if (!files.isEmpty()) {
        if (files.constFirst().isEmpty())
            return refused(QStringLiteral("The name of the mix to open is empty."));
        for (const QCommandLineOption* renderOnly : {&render, &length, &rate, &flat})
            if (parser.isSet(*renderOnly))
                return refused(QStringLiteral("A mix to open cannot be used with --%1; "
                                              "--render takes its mix with --mix.")
                                   .arg(renderOnly->names().first()));
        if (parser.isSet(mix))
            return refused(QStringLiteral("--mix and a mix to open cannot be used together."));
    }
    if (parser.isSet(render)) {
        if (parser.isSet(headless))
            return refused(QStringLiteral("--render and --headless cannot be used together."));
        if (parser.isSet(sleep))
            return refused(QStringLiteral("--render and --sleep cannot be used together."));
        const auto request = readRender(parser);
        if (!request.ok())
            return refused(request.reason());
        running.render = request.value();
        running.run = false;
        return running;
    }
    for (const QCommandLineOption* renderOnly : {&length, &rate, &flat})
        if (parser.isSet(*renderOnly))
            return refused(QStringLiteral("--%1 is used only with --render.")
                               .arg(renderOnly->names().first()));
    running.headless = parser.isSet(headless);
    if (parser.isSet(mix)) {
        if (!running.headless)
            return refused(QStringLiteral("--mix is used only with --headless or --render."));
        running.mixFile = parser.value(mix);
    }
    if (!files.isEmpty()) {
        if (running.headless)
            running.mixFile = files.constFirst();
        else
            running.openFile = files.constFirst();
    }
    if (parser.isSet(sleep)) {
        const QString duration = parser.value(sleep);
        running.sleep = instance::readSleepDuration(duration);
        if (!running.sleep)
            return refused(QStringLiteral("The sleep timer cannot run for \"%1\". It takes %2.")
                               .arg(duration, QString::fromLatin1(instance::kSleepDurationForms)));
    }
    return running;
}

} // namespace calmfield::app
