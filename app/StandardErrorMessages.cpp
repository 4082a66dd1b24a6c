#include "app/StandardErrorMessages.h"

#include <cstdio>

namespace calmfield::app {

void StandardErrorMessages::showMessage(const QString& text) {
    std::fprintf(stderr, "calmfield: %s\n", text.toLocal8Bit().constData());
}

bool StandardErrorMessages::askYesNo(const QString& question) {
    showMessage(question + QStringLiteral(" (answered No)"));
    return false;
}

} // namespace calmfield::app
