#include "session/MixOpening.h"

#include "session/Messages.h"
#include "session/NoiseSession.h"

namespace calmfield::session {

files::Result<files::Done, QString> openMix(NoiseSession& session, const QString& path) {
    const QString notLoaded = messages::say(messages::kMixNotLoaded);
    if (session.hasEnded())
        return files::failure(notLoaded.arg(path, messages::say(messages::kEnding)));
    const auto loaded = session.recentMixes().load(path);
    if (loaded.ok())
        return loaded;
    return files::failure(notLoaded.arg(path, loaded.reason()));
}

} // namespace calmfield::session
