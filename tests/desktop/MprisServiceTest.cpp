#include "desktop/MprisService.h"
#include "desktop/MprisAdaptors.h"
#include "tests/support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace calmfield::desktop;
using Status = MediaControlsTarget::Status;

const QString kName = MprisService::kServiceName;
const QString kRoot = "org.mpris.MediaPlayer2";
const QString kPlayer = kMprisPlayerInterface;

struct FakePlayer : MediaControlsTarget {
    State now{Status::Playing, "Pink Noise", QUrl("file:///pink.png")};
    QStringList calls;

    State state() const override { return now; }
    void play() override { record("play", Status::Playing); }
    void pause() override { record("pause", Status::Paused); }
    void playPause() override {
        record("playPause", now.status == Status::Playing ? Status::Paused : Status::Playing);
    }
    void next() override { calls << "next"; }
    void previous() override { calls << "previous"; }
    bool canRaise() const override { return true; }
    void raise() override { calls << "raise"; }
    void quit() override { calls << "quit"; }
    void record(const QString& call, Status status) {
        calls << call;
        now.status = status;
    }
};

// Each PropertiesChanged signal a client receives: interface, changed and invalidated properties.
class Announcements : public QObject {
    Q_OBJECT
  public:
    QList<QVariantList> received;
  public slots:
    void add(const QString& interface, const QVariantMap& changed, const QStringList& invalidated) {
        received.append({interface, changed, invalidated});
    }
};

// A dictionary inside a variant reaches the client still marshalled.
QVariantMap asMap(const QVariant& value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>())
                                             : value.toMap();
}

template <typename Done> bool waitFor(Done done) {
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class MprisServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(busStarted_) << bus_.error();
        ASSERT_TRUE(service_->registerOn(connect("service"))) << service_->error().toStdString();
        ASSERT_TRUE(client_.connect(kName, kMprisObjectPath, "org.freedesktop.DBus.Properties",
                                    "PropertiesChanged", &announcements_,
                                    SLOT(add(QString, QVariantMap, QStringList))));
        // Answered only once the bus has the client's match rule for the signal.
        ASSERT_TRUE(client_.interface()->isServiceRegistered(kName).value());
    }
    void TearDown() override {
        service_.reset();
        for (const QString& name : connections_)
            QDBusConnection::disconnectFromBus(name);
    }

    QDBusConnection connect(const QString& role) {
        connections_ << role + QString::number(connections_.size());
        return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()),
                                             connections_.last());
    }
    // The service answers in this thread, so the client waits with the event loop running.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        auto message = QDBusMessage::createMethodCall(kName, kMprisObjectPath, interface, method);
        message.setArguments(arguments);
        return client_.call(message, QDBus::BlockWithGui, 5000);
    }
    QVariantMap properties(const QString& interface) {
        return asMap(
            call("org.freedesktop.DBus.Properties", "GetAll", {interface}).arguments().value(0));
    }
    calmfield::testsupport::PrivateSessionBus bus_;
    const bool busStarted_ = bus_.start();
    QStringList connections_;
    FakePlayer player_;
    std::unique_ptr<MprisService> service_ =
        std::make_unique<MprisService>(player_, "example.calmfield.Calmfield");
    QDBusConnection client_ = connect("client");
    Announcements announcements_;
};

TEST_F(MprisServiceTest, ShowsTheProgramAndItsMix) {
    const QVariantMap root = properties(kRoot);
    EXPECT_EQ(root["Identity"], "Calmfield");
    EXPECT_EQ(root["DesktopEntry"], "example.calmfield.Calmfield");
    EXPECT_EQ(QVariantList({root["CanRaise"], root["CanQuit"], root["HasTrackList"]}),
              QVariantList({true, true, false}));

    const QVariantMap player = properties(kPlayer);
    EXPECT_EQ(player["PlaybackStatus"], "Playing");
    EXPECT_EQ(QVariantList({player["Volume"], player["CanControl"], player["CanGoNext"]}),
              QVariantList({1.0, true, false}));
    EXPECT_EQ(player["Position"].typeId(), QMetaType::LongLong); // a 64-bit microsecond count

    QVariantMap metadata = asMap(player["Metadata"]);
    EXPECT_TRUE(metadata.take("mpris:trackid").canConvert<QDBusObjectPath>());
    EXPECT_EQ(metadata, QVariantMap({{"xesam:title", "Pink Noise"},
                                     {"xesam:artist", QStringList{"Calmfield"}},
                                     {"mpris:artUrl", "file:///pink.png"}}));
    player_.now.artUrl.clear();
    EXPECT_FALSE(asMap(properties(kPlayer)["Metadata"]).contains("mpris:artUrl"));
}

TEST_F(MprisServiceTest, PassesPlaybackStepsRaiseAndQuitToThePlayer) {
    for (const char* method : {"Pause", "Play", "PlayPause", "Stop", "Next", "Previous"})
        call(kPlayer, method);
    call(kPlayer, "Seek", {qlonglong{5}});
    call(kPlayer, "SetPosition", {QVariant::fromValue(QDBusObjectPath("/a")), qlonglong{5}});
    call(kPlayer, "OpenUri", {"file:///noise.wav"});
    call(kRoot, "Raise");
    EXPECT_EQ(call(kRoot, "Quit").type(), QDBusMessage::ReplyMessage);
    waitFor([&] { return player_.calls.contains("quit"); });
    EXPECT_EQ(player_.calls, QStringList({"pause", "play", "playPause", "pause", "next", "previous",
                                          "raise", "quit"}));
}

TEST_F(MprisServiceTest, AnnouncesExactlyWhatChanged) {
    auto& received = announcements_.received;
    player_.now.status = Status::Paused;
    service_->stateChanged();
    ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0],
              QVariantList({kPlayer, QVariantMap{{"PlaybackStatus", "Paused"}}, QStringList()}));

    // Neither a call without a change nor a client's new volume is announced; the title is.
    service_->stateChanged();
    call("org.freedesktop.DBus.Properties", "Set",
         {kPlayer, "Volume", QVariant::fromValue(QDBusVariant(0.2))});
    player_.now.title = "Pink + Brown Noise";
    service_->stateChanged();
    ASSERT_TRUE(waitFor([&] { return received.size() >= 2; }));
    const QVariantMap changed = received[1][1].toMap();
    EXPECT_EQ(changed.keys(), QStringList{"Metadata"});
    EXPECT_EQ(asMap(changed["Metadata"])["xesam:title"], "Pink + Brown Noise");
    EXPECT_EQ(properties(kPlayer)["Volume"], 1.0);

    call(kPlayer, "PlayPause"); // from the bus
    ASSERT_TRUE(waitFor([&] { return received.size() >= 3; }));
    EXPECT_EQ(received[2][1], QVariantMap({{"PlaybackStatus", "Playing"}}));

    // A mix loaded from a file is a track of its own, and a second mix to step to is announced.
    player_.now.track = 1;
    player_.now.canStep = true;
    service_->stateChanged();
    ASSERT_TRUE(waitFor([&] { return received.size() >= 4; }));
    const QVariantMap stepped = received[3][1].toMap();
    EXPECT_EQ(stepped.keys(), QStringList({"CanGoNext", "CanGoPrevious", "Metadata"}));
    EXPECT_EQ(stepped["CanGoNext"], true);
    EXPECT_EQ(asMap(stepped["Metadata"])["mpris:trackid"].value<QDBusObjectPath>().path(),
              "/example/calmfield/Calmfield/Mix/1");
    EXPECT_EQ(received.size(), 4);
}

TEST_F(MprisServiceTest, HoldsTheNameAloneAndGivesItBack) {
    MprisService second(player_, "example.calmfield.Calmfield");
    EXPECT_FALSE(second.registerOn(connect("second")));
    EXPECT_FALSE(second.error().isEmpty());
    connections_ << "nowhere";
    EXPECT_FALSE(second.registerOn(QDBusConnection::connectToBus("unix:path=/nowhere", "nowhere")));

    service_.reset();
    EXPECT_FALSE(client_.interface()->isServiceRegistered(kName).value());
    EXPECT_TRUE(second.registerOn(connect("second"))) << second.error().toStdString();
}

} // namespace

#include "MprisServiceTest.moc"
