#include "shell/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace calmfield::shell {
namespace {

// The status of a command line that cannot be used, as command-line tools give it.
constexpr int kUsageStatus = 2;

const char kHelp[] = "Usage: calmfield [options]\n"
                     "Plays soothing noise colours, mixed to taste, to mask distracting sounds.\n"
                     "\n"
                     "Options:\n"
                     "  -h, --help     Show this help and end.\n"
                     "  -v, --version  Show the version and end.\n";

CommandLine refused(const QString& reason) {
    return {
        false,
        {},
        QStringLiteral("calmfield: %1\nTry \"calmfield --help\" for the options.\n").arg(reason),
        kUsageStatus};
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
    parser.addOptions({help, version, session});

    if (!parser.parse(arguments))
        return refused(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refused(QStringLiteral("Unexpected argument '%1'.")
                           .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help))
        return {false, QString::fromLatin1(kHelp), {}, 0};
    if (parser.isSet(version))
        return {false, QStringLiteral("Calmfield " CALMFIELD_VERSION "\n"), {}, 0};
    return {};
}

} // namespace calmfield::shell
