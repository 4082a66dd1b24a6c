#pragma once

#include "app/SingleInstance.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace calmfield::widgets {
class MessageSink;
}

namespace calmfield::app {

class NoiseSession;

// Loads the configuration file at `path`, named on the command line or by a later start, as Load
// does but without arming the start-in-tray timer. When it cannot, changing nothing, the failure
// is the Load's message.
files::Result<files::Done, QString> openMix(NoiseSession& session, const QString& path);

// Loads the mixes later starts hand over, answers each with the result and tells the user here
// what went wrong, after the answer has gone. `bringForward` shows the program with the later
// start's activation token, where it has windows.
void answerOpenRequests(SingleInstance& instance, NoiseSession& session,
                        widgets::MessageSink& messages,
                        std::function<void(const QByteArray& activationToken)> bringForward = {});

} // namespace calmfield::app
