#include "session/RoutineRunner.h"

#include "persistence/Mix.h"
#include "player/MixFader.h"
#include "routines/RoutinesFile.h"
#include "session/MessageSink.h"
#include "session/NoiseSession.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace calmfield::session {
namespace {

using engine::MasterGain;
using routines::Occurrence;
using namespace std::chrono_literals;

constexpr auto kSilenceDb = static_cast<float>(engine::ColourGlides::kSilenceDb);

MasterGain::Ramp riseTo(float level, std::chrono::milliseconds length,
                        std::optional<float> from = std::nullopt) {
    return {level, length, MasterGain::Shape::Decibels, from};
}

} // namespace

RoutineClock RoutineClock::system() {
    return {[] { return QDateTime::currentSecsSinceEpoch(); },
            [] { return QTimeZone::systemTimeZone(); }};
}

RoutineRunner::RoutineRunner(NoiseSession& session, const std::filesystem::path& userFolder,
                             MessageSink& messages, RoutineClock clock, QObject* parent)
    : QObject(parent), session_(session), messages_(messages), clock_(std::move(clock)),
      alarm_(clock_.makeTimer) {
    if (!userFolder.empty())
        path_ = QFile::decodeName((userFolder / routines::kRoutinesFileName).c_str());
    joinRise_.setSingleShot(true);
    connect(&alarm_, &routines::WallClockAlarm::rang, this, &RoutineRunner::act);
    connect(&alarm_, &routines::WallClockAlarm::clockSet, this, &RoutineRunner::recheck);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &RoutineRunner::readFile);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &RoutineRunner::readFile);
    connect(&zoneWatcher_, &QFileSystemWatcher::directoryChanged, this, &RoutineRunner::recheck);
    connect(&session_.player(), &player::MixPlayer::mediaStateChanged, this,
            &RoutineRunner::endedByUser);
}

RoutineRunner::~RoutineRunner() = default;

void RoutineRunner::start() {
    if (path_.isEmpty() || started_)
        return;
    started_ = true;
    zoneWatcher_.addPath(QStringLiteral("/etc"));
    readFile();
}

bool RoutineRunner::anyOn() const {
    return std::any_of(routines_.begin(), routines_.end(),
                       [](const routines::Routine& routine) { return routine.on; });
}

void RoutineRunner::readFile() {
    watchFile();
    const auto read = routines::readRoutinesFile(path_);
    std::vector<routines::Routine> found;
    if (read.ok()) {
        found = read.value().routines();
        for (const QString& problem : read.value().problems()) {
            if (told_.insert(problem).second)
                messages_.showMessage(QStringLiteral("Calmfield leaves out a routine in \"%1\" "
                                                     "that it cannot read, %2.")
                                          .arg(path_, problem));
        }
    } else if (told_.insert(read.reason()).second) {
        messages_.showMessage(QStringLiteral("Calmfield cannot read its routines in \"%1\": %2. "
                                             "No routine plays until it can.")
                                  .arg(path_, read.reason()));
    }
    if (found == routines_ && next_)
        return;
    routines_ = std::move(found);
    if (playing_ && (playing_->routine >= routines_.size() || !routines_[playing_->routine].on))
        playing_.reset();
    act();
}

// An atomic rename replaces the file watched by another, so its folder is watched too, or while
// there is none yet, the folder it is to be made in.
void RoutineRunner::watchFile() {
    const QString folder = QFileInfo(path_).path();
    const QString watched = QFileInfo::exists(folder) ? folder : QFileInfo(folder).path();
    if (!watcher_.directories().contains(watched))
        watcher_.addPath(watched);
    if (QFileInfo::exists(path_) && !watcher_.files().contains(path_))
        watcher_.addPath(path_);
}

void RoutineRunner::recheck() {
    if (started_)
        act();
}

// Whatever is due now happens, and the alarm is armed for what comes next.
void RoutineRunner::act() {
    const qint64 now = clock_.now();
    const QTimeZone zone = clock_.zone();
    if (playing_ && playing_->end && *playing_->end <= now)
        finish();
    const auto current = routines::occurrenceAt(routines_, now, zone);
    if (current && current != playing_ && !over_.contains({current->routine, current->start}))
        begin(*current, now);
    if (playing_ && playing_->end && !falling_ &&
        *playing_->end - routines_[playing_->routine].fall.count() <= now)
        beginFall(now);
    arm(now);
}

void RoutineRunner::begin(const Occurrence& occurrence, qint64 now) {
    const routines::Routine& routine = routines_[occurrence.routine];
    player::MixPlayer& player = session_.player();
    const persistence::Mix before = player.mix();
    const bool somethingPlays = !player.paused() && !player.tickedColours().empty();
    // Another routine's rise or fall is taken over too.
    const bool routinePlays = playing_.has_value();
    acting_ = true;
    if (!routine.mix.isEmpty()) {
        const auto mix = persistence::readMix(routine.mix);
        if (!mix.ok()) {
            over_.insert({occurrence.routine, occurrence.start});
            acting_ = false;
            messages_.showMessage(QStringLiteral("A routine could not load \"%1\": %2. It plays "
                                                 "nothing this time, and stays on.")
                                      .arg(routine.mix, mix.reason()));
            return;
        }
        player.load(mix.value());
    }
    player.play();
    acting_ = false;
    playing_ = occurrence;
    falling_ = false;
    joinRise_.disconnect();
    joinRise_.stop();

    const std::chrono::milliseconds rise = routine.rise;
    const std::chrono::milliseconds late = std::chrono::seconds(now - occurrence.start);
    if (somethingPlays) {
        const auto left = std::max<std::chrono::milliseconds>(rise - late, 0ms);
        takeOver(before, left);
        if (routinePlays)
            session_.channelBank().rampMix(MasterGain::Part::Routine, riseTo(1.0f, left));
    } else {
        riseFromSilence(rise, late);
    }
}

void RoutineRunner::riseFromSilence(std::chrono::milliseconds rise,
                                    std::chrono::milliseconds late) {
    engine::ChannelBank& bank = session_.channelBank();
    if (late < 1s) {
        bank.rampMix(MasterGain::Part::Routine, riseTo(1.0f, rise, 0.0f));
        return;
    }
    // Joined late: the level the rise reaches in a moment, reached from kSilenceDb meanwhile, then
    // the rest of the rise.
    const auto level = static_cast<float>(
        MasterGain::levelAt(riseTo(1.0f, rise), 0.0, std::min(rise, late + kJoinRise)));
    bank.rampMix(MasterGain::Part::Routine, riseTo(level, kJoinRise, 0.0f));
    if (late + kJoinRise < rise) {
        connect(&joinRise_, &QTimer::timeout, this, [this, rest = rise - late - kJoinRise] {
            session_.channelBank().rampMix(MasterGain::Part::Routine, riseTo(1.0f, rest));
        });
        joinRise_.start(kJoinRise);
    }
}

void RoutineRunner::takeOver(const persistence::Mix& before, std::chrono::milliseconds length) {
    const persistence::Mix& after = session_.player().mix();
    engine::ChannelBank& bank = session_.channelBank();
    const float seconds = std::chrono::duration<float>(length).count();
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        const std::size_t at = engine::index(colour);
        engine::NoiseChannel* channel = bank.channel(colour);
        const bool wasOn = before.toggles[at] == persistence::kOn;
        const bool isOn = after.toggles[at] == persistence::kOn;
        if (channel == nullptr || (!wasOn && !isOn))
            continue;
        const float fromDb = static_cast<float>(before.volumes[at] - after.volumes[at]) / 100.0f;
        if (!wasOn) {
            bank.glideColour(colour, kSilenceDb, 0.0f, seconds);
        } else if (!isOn) {
            // Heard on until it has glided away.
            channel->play();
            bank.glideColour(colour, fromDb, kSilenceDb, seconds);
            QTimer::singleShot(length, this, [this, colour, at] {
                if (session_.player().mix().toggles[at] != persistence::kOn)
                    if (engine::NoiseChannel* gone = session_.channelBank().channel(colour))
                        gone->stop();
                QTimer::singleShot(100ms, this, [this, colour] {
                    session_.channelBank().glideColour(colour, 0.0f, 0.0f, 0.0f);
                });
            });
        } else if (before.frequencies[at] != after.frequencies[at]) {
            channel->setFrequency(before.frequencies[at]);
            bank.glideColour(colour, fromDb, kSilenceDb, seconds / 2);
            QTimer::singleShot(
                length / 2, this, [this, colour, at, seconds, rate = after.frequencies[at]] {
                    if (session_.player().mix().frequencies[at] == rate)
                        if (engine::NoiseChannel* moved = session_.channelBank().channel(colour))
                            moved->setFrequency(rate);
                    session_.channelBank().glideColour(colour, kSilenceDb, 0.0f, seconds / 2);
                });
        } else {
            bank.glideColour(colour, fromDb, 0.0f, seconds);
        }
    }
}

void RoutineRunner::beginFall(qint64 now) {
    falling_ = true;
    const std::chrono::milliseconds left = std::chrono::seconds(*playing_->end - now);
    joinRise_.stop();
    session_.channelBank().rampMix(MasterGain::Part::Routine, riseTo(0.0f, left));
}

void RoutineRunner::finish() {
    playing_.reset();
    falling_ = false;
    acting_ = true;
    session_.player().pause();
    acting_ = false;
    restoreAfterPause();
}

void RoutineRunner::endedByUser() {
    if (!playing_ || acting_)
        return;
    const player::MixPlayer& player = session_.player();
    if (!player.paused() && !player.tickedColours().empty())
        return;
    over_.insert({playing_->routine, playing_->start});
    playing_.reset();
    falling_ = false;
    joinRise_.stop();
    restoreAfterPause();
    arm(clock_.now());
}

void RoutineRunner::restoreAfterPause() {
    QTimer::singleShot(player::MixFader::kPauseFade + 100ms, this, [this] {
        if (!playing_)
            session_.channelBank().rampMix(MasterGain::Part::Routine, riseTo(1.0f, 0ms));
    });
}

void RoutineRunner::arm(qint64 now) {
    const auto next = routines::nextEvent(routines_, now, clock_.zone());
    std::optional<qint64> moment = next ? std::optional(next->at()) : std::nullopt;
    if (playing_ && playing_->end && !falling_) {
        const qint64 fall = *playing_->end - routines_[playing_->routine].fall.count();
        moment = moment ? std::min(*moment, fall) : fall;
    }
    // The next event is told as "tonight" or "tomorrow": at midnight it is told afresh.
    if (next) {
        const QTimeZone zone = clock_.zone();
        const QDate today = QDateTime::fromSecsSinceEpoch(now, zone).date();
        moment = std::min(*moment, routines::momentOf(today.addDays(1), 0, zone));
    }
    if (moment)
        alarm_.armAt(*moment);
    else
        alarm_.disarm();
    next_ = next;
    emit changed();
}

} // namespace calmfield::session
