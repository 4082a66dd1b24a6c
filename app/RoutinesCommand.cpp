#include "app/RoutinesCommand.h"

#include "routines/NextEventText.h"
#include "routines/RoutinesFile.h"

#include <QFile>

namespace calmfield::app {

int listRoutines(const std::filesystem::path& userFolder, qint64 now, const QTimeZone& zone,
                 std::FILE* output, std::FILE* errors) {
    const QString path = QFile::decodeName((userFolder / routines::kRoutinesFileName).c_str());
    const auto file = routines::readRoutinesFile(path);
    if (!file.ok()) {
        std::fprintf(errors, "calmfield: The routines in \"%s\" cannot be read: %s.\n",
                     path.toLocal8Bit().constData(), file.reason().toLocal8Bit().constData());
        return 1;
    }
    const auto routines = file.value().routines();
    for (const routines::Routine& routine : routines)
        std::fprintf(output, "%s\n", routines::formatRoutine(routine).toLocal8Bit().constData());
    const QString next =
        routines::describeNextEvent(routines::nextEvent(routines, now, zone), routines, now, zone);
    std::fprintf(output, "%s\n", next.toLocal8Bit().constData());
    const QStringList problems = file.value().problems();
    for (const QString& problem : problems)
        std::fprintf(errors, "calmfield: \"%s\", %s, cannot be read and is left out.\n",
                     path.toLocal8Bit().constData(), problem.toLocal8Bit().constData());
    return problems.isEmpty() ? 0 : 1;
}

} // namespace calmfield::app
