#include "app/MixOpening.h"

#include "app/NoiseSession.h"
#include "shell/Messages.h"
#include "widgets/MessageSink.h"

#include <QFile>
#include <QMetaObject>

namespace calmfield::app {

QString openMix(NoiseSession& session, const QString& path) {
    if (session.hasEnded())
        return QString::fromLatin1(shell::kMixNotLoadedMessage)
            .arg(path, QStringLiteral("Calmfield is ending"));
    const QString error = session.recentMixes().load(path);
    if (error.isEmpty())
        return {};
    return QString::fromLatin1(shell::kMixNotLoadedMessage).arg(path, error);
}

void answerOpenRequests(SingleInstance& instance, NoiseSession& session,
                        widgets::MessageSink& messages,
                        std::function<void(const QByteArray&)> bringForward) {
    instance.setMixOpener(
        [&session, &messages, bringForward = std::move(bringForward)](const OpenRequest& request) {
            if (bringForward)
                bringForward(request.activationToken);
            const QString failure = openMix(session, QFile::decodeName(request.path));
            // A message box waits for the user: the later start has its answer first.
            if (!failure.isEmpty())
                QMetaObject::invokeMethod(
                    &session, [&messages, failure] { messages.showMessage(failure); },
                    Qt::QueuedConnection);
            return failure;
        });
}

} // namespace calmfield::app
