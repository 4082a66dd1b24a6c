#include "app/MixOpening.h"

#include "app/NoiseSession.h"
#include "shell/Messages.h"
#include "widgets/MessageSink.h"

#include <QFile>
#include <QMetaObject>

namespace calmfield::app {

files::Result<files::Done, QString> openMix(NoiseSession& session, const QString& path) {
    if (session.hasEnded())
        return files::failure(QString::fromLatin1(shell::kMixNotLoadedMessage)
                                  .arg(path, QStringLiteral("Calmfield is ending")));
    const auto loaded = session.recentMixes().load(path);
    if (loaded.ok())
        return loaded;
    return files::failure(
        QString::fromLatin1(shell::kMixNotLoadedMessage).arg(path, loaded.reason()));
}

void answerOpenRequests(SingleInstance& instance, NoiseSession& session,
                        widgets::MessageSink& messages,
                        std::function<void(const QByteArray&)> bringForward) {
    instance.setMixOpener([&session, &messages,
                           bringForward = std::move(bringForward)](const OpenRequest& request) {
        if (bringForward)
            bringForward(request.activationToken);
        auto opened = openMix(session, QFile::decodeName(request.path));
        // A message box waits for the user: the later start has its answer first.
        if (!opened.ok())
            QMetaObject::invokeMethod(
                &session, [&messages, failure = opened.reason()] { messages.showMessage(failure); },
                Qt::QueuedConnection);
        return opened;
    });
}

} // namespace calmfield::app
