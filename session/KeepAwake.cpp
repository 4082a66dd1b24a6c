#include "session/KeepAwake.h"

#include "desktop/IdleInhibitor.h"
#include "files/ProgramTitle.h"
#include "session/MessageSink.h"
#include "session/Messages.h"

namespace calmfield::session {

KeepAwake::KeepAwake(NoiseSession& session, const std::filesystem::path& userFolder,
                     const QDBusConnection* sessionBus, session::MessageSink& messages,
                     QObject* parent)
    : QObject(parent), playing_(session), choice_(userFolder), messages_(messages) {
    if (sessionBus != nullptr) {
        inhibitor_ = std::make_unique<desktop::IdleInhibitor>(
            *sessionBus, QString::fromLatin1(files::kProgramTitle),
            QStringLiteral("Playing noise"));
        connect(inhibitor_.get(), &desktop::IdleInhibitor::checked, this, &KeepAwake::checked);
        connect(inhibitor_.get(), &desktop::IdleInhibitor::refusalChanged, this,
                &KeepAwake::tellRefusal);
    }
    connect(&playing_, &PlayingWatch::changed, this, &KeepAwake::recheck);
    recheck();
}

// The request goes before the bus connection it was made on.
KeepAwake::~KeepAwake() = default;

void KeepAwake::setWanted(bool wanted) {
    if (wanted == choice_.wanted())
        return;
    const auto kept = choice_.set(wanted);
    if (!kept.ok())
        messages_.showMessage(messages::say(messages::kKeepAwakeNotKept).arg(kept.reason()));
    recheck();
    if (!wanted)
        return;
    if (inhibitor_)
        inhibitor_->check();
    else
        tellNoWay();
}

void KeepAwake::recheck() {
    if (!inhibitor_)
        return;
    if (choice_.wanted() && playing_.plays())
        inhibitor_->hold();
    else
        inhibitor_->release();
}

void KeepAwake::checked(bool answered) {
    if (!answered && choice_.wanted())
        tellNoWay();
}

bool KeepAwake::refused() const {
    return inhibitor_ && inhibitor_->refused();
}

void KeepAwake::tellRefusal(bool refused) {
    if (refused && !refusalTold_) {
        refusalTold_ = true;
        messages_.showMessage(messages::say(messages::kKeepAwakeRefused));
    }
    emit refusalChanged(refused);
}

void KeepAwake::tellNoWay() {
    messages_.showMessage(messages::say(messages::kNoWayToKeepAwake));
}

} // namespace calmfield::session
