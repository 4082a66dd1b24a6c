#include "app/CommandLine.h"

#include "app/SleepDuration.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace calmfield::app {
namespace {

// The status of a command line that cannot be used, as command-line tools give it.
constexpr int kUsageStatus = 2;

const char kHelp[] = "Usage: calmfield [options]\n"
                     "Plays soothing noise colours, mixed to taste, to mask distracting sounds.\n"
                     "\n"
                     "Options:\n"
                     "  --sleep DURATION  Fade out and end after DURATION: a number of minutes\n"
                     "                    (\"45\"), or hours, minutes and seconds such as\n"
                     "                    \"90s\", \"45m\", \"1h30m\" or \"2h\", from 10 seconds\n"
                     "                    to 24 hours. When Calmfield already runs, it sets the\n"
                     "                    sleep timer there.\n"
                     "  -h, --help        Show this help and end.\n"
                     "  -v, --version     Show the version and end.\n";

CommandLine refused(const QString& reason) {
    return {
        false,
        {},
        QStringLiteral("calmfield: %1\nTry \"calmfield --help\" for the options.\n").arg(reason),
        kUsageStatus,
        {}};
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
    parser.addOptions({help, version, session, sleep});

    if (!parser.parse(arguments))
        return refused(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refused(QStringLiteral("Unexpected argument '%1'.")
                           .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help))
        return {false, QString::fromLatin1(kHelp), {}, 0, {}};
    if (parser.isSet(version))
        return {false, QStringLiteral("Calmfield " CALMFIELD_VERSION "\n"), {}, 0, {}};
    CommandLine running;
    if (parser.isSet(sleep)) {
        const QString duration = parser.value(sleep);
        running.sleep = readSleepDuration(duration);
        if (!running.sleep)
            return refused(QStringLiteral("The sleep timer cannot run for \"%1\". It takes %2.")
                               .arg(duration, QString::fromLatin1(kSleepDurationForms)));
    }
    return running;
}

} // namespace calmfield::app
