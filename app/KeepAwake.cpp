#include "app/KeepAwake.h"

#include "platform/IdleInhibitor.h"
#include "platform/ProgramTitle.h"
#include "widgets/MessageSink.h"

#include <QAction>

namespace calmfield::app {

KeepAwake::KeepAwake(NoiseSession& session, const std::filesystem::path& userFolder,
                     const QDBusConnection* sessionBus, widgets::MessageSink& messages,
                     QObject* parent)
    : QObject(parent), playing_(session), choice_(userFolder), messages_(messages) {
    if (sessionBus != nullptr) {
        inhibitor_ = std::make_unique<platform::IdleInhibitor>(
            *sessionBus, QString::fromLatin1(platform::kProgramTitle),
            QStringLiteral("Playing noise"));
        connect(inhibitor_.get(), &platform::IdleInhibitor::checked, this, &KeepAwake::checked);
    }
    connect(&playing_, &NoisePlaying::changed, this, &KeepAwake::recheck);
    recheck();
}

// The request goes before the bus connection it was made on.
KeepAwake::~KeepAwake() = default;

void KeepAwake::setWanted(bool wanted) {
    if (wanted == choice_.wanted())
        return;
    const auto kept = choice_.set(wanted);
    if (!kept.ok())
        messages_.showMessage(
            QStringLiteral("Calmfield cannot remember this choice for the next time: %1.")
                .arg(kept.reason()));
    recheck();
    if (!wanted)
        return;
    if (inhibitor_)
        inhibitor_->check();
    else
        tellNoWay();
}

void KeepAwake::showIn(QAction& item) {
    item.setChecked(wanted());
    connect(&item, &QAction::triggered, this, &KeepAwake::setWanted);
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

void KeepAwake::tellNoWay() {
    messages_.showMessage(QStringLiteral(
        "This desktop offers no way to keep the computer awake, so it may still suspend while "
        "the noise plays."));
}

} // namespace calmfield::app
