#include "platform/MprisService.h"
#include "platform/MprisAdaptors.h"
#include "tests/support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using calmfield::platform::kMprisObjectPath;
using calmfield::platform::kMprisPlayerInterface;
using calmfield::platform::MediaPlayer;
using calmfield::platform::MprisService;

namespace {

const QString kServiceName = QString::fromLatin1(MprisService::kServiceName);
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QString::fromLatin1(kMprisPlayerInterface);

class FakeMediaPlayer : public MediaPlayer {
  public:
    State current{Status::Playing, "Pink Noise", QUrl("file:///pictures/pink.png")};
    QStringList calls;

    State state() const override { return current; }
    void play() override { record("play", Status::Playing); }
    void pause() override { record("pause", Status::Paused); }
    void playPause() override {
        record("playPause", current.status == Status::Playing ? Status::Paused : Status::Playing);
    }
    void raise() override { calls << "raise"; }
    void quit() override { calls << "quit"; }

  private:
    void record(const QString& call, Status status) {
        calls << call;
        current.status = status;
    }
};

// The PropertiesChanged signals a client receives, each as "interface", the changed properties and
// the invalidated ones.
class Announcements : public QObject {
    Q_OBJECT
  public:
    QList<std::tuple<QString, QVariantMap, QStringList>> received;

  public slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated) {
        received.append({interface, changed, invalidated});
    }
};

// A dictionary inside a variant reaches the client still marshalled.
QVariantMap asMap(const QVariant& value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>())
                                             : value.toMap();
}

bool waitFor(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class MprisServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bus_.start()) << bus_.error();
        client_ = std::make_unique<QDBusConnection>(connect("client"));
        ASSERT_TRUE(client_->isConnected());
        ASSERT_TRUE(service_->registerOn(connect("service"))) << service_->error().toStdString();
        ASSERT_TRUE(client_->connect(
            kServiceName, kMprisObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
            &announcements_, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    }

    void TearDown() override {
        service_.reset();
        client_.reset();
        for (const QString& name : connections_)
            QDBusConnection::disconnectFromBus(name);
    }

    QDBusConnection connect(const QString& role) {
        connections_ << QStringLiteral("%1-%2").arg(role).arg(++connectionCount_);
        return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()),
                                             connections_.last());
    }

    // The service answers in this thread, so the client waits with the event loop running.
    QDBusMessage call(const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) {
        auto message =
            QDBusMessage::createMethodCall(kServiceName, kMprisObjectPath, interface, method);
        message.setArguments(arguments);
        return client_->call(message, QDBus::BlockWithGui, 5000);
    }

    QVariantMap allProperties(const QString& interface) {
        return asMap(
            call("org.freedesktop.DBus.Properties", "GetAll", {interface}).arguments().value(0));
    }

    QString playerctl(const QStringList& arguments) {
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(bus_.address()));
        process.setProcessEnvironment(environment);
        process.start("playerctl", QStringList{"-p", "calmfield"} + arguments);
        waitFor([&] { return process.state() == QProcess::NotRunning; });
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    }

    calmfield::testsupport::PrivateSessionBus bus_;
    FakeMediaPlayer player_;
    std::unique_ptr<MprisService> service_ =
        std::make_unique<MprisService>(player_, "example.calmfield.Calmfield");
    std::unique_ptr<QDBusConnection> client_;
    Announcements announcements_;
    QStringList connections_;
    int connectionCount_ = 0;
};

TEST_F(MprisServiceTest, ShowsTheProgramAndItsMix) {
    const QVariantMap root = allProperties(kRootInterface);
    EXPECT_EQ(root["Identity"], "Calmfield");
    EXPECT_EQ(root["DesktopEntry"], "example.calmfield.Calmfield");
    EXPECT_EQ(root["CanRaise"], true);
    EXPECT_EQ(root["CanQuit"], true);
    EXPECT_EQ(root["HasTrackList"], false);
    EXPECT_EQ(root["SupportedUriSchemes"], QStringList());

    const QVariantMap player = allProperties(kPlayerInterface);
    EXPECT_EQ(player["PlaybackStatus"], "Playing");
    EXPECT_EQ(player["Volume"], 1.0);
    EXPECT_EQ(player["Rate"], 1.0);
    EXPECT_EQ(player["Position"], qlonglong{0});
    EXPECT_EQ(player["Position"].typeId(), QMetaType::LongLong); // a 64-bit microsecond count
    for (const char* cannot : {"CanGoNext", "CanGoPrevious", "CanSeek"})
        EXPECT_EQ(player[cannot], false) << cannot;
    for (const char* can : {"CanPlay", "CanPause", "CanControl"})
        EXPECT_EQ(player[can], true) << can;

    const QVariantMap metadata = asMap(player["Metadata"]);
    EXPECT_TRUE(metadata["mpris:trackid"].canConvert<QDBusObjectPath>());
    EXPECT_EQ(metadata["xesam:title"], "Pink Noise");
    EXPECT_EQ(metadata["xesam:artist"], QStringList{"Calmfield"});
    EXPECT_EQ(metadata["mpris:artUrl"], "file:///pictures/pink.png");

    player_.current.artUrl.clear();
    EXPECT_FALSE(asMap(allProperties(kPlayerInterface)["Metadata"]).contains("mpris:artUrl"));
}

TEST_F(MprisServiceTest, PassesOnlyPlaybackRaiseAndQuitToThePlayer) {
    for (const char* method : {"Pause", "Play", "PlayPause", "Stop", "Next", "Previous"})
        EXPECT_EQ(call(kPlayerInterface, method).type(), QDBusMessage::ReplyMessage) << method;
    const auto track = QVariant::fromValue(QDBusObjectPath("/example/calmfield/Calmfield/Mix"));
    EXPECT_EQ(call(kPlayerInterface, "Seek", {qlonglong{5}}).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(call(kPlayerInterface, "SetPosition", {track, qlonglong{5}}).type(),
              QDBusMessage::ReplyMessage);
    EXPECT_EQ(call(kPlayerInterface, "OpenUri", {"file:///noise.wav"}).type(),
              QDBusMessage::ReplyMessage);
    call(kRootInterface, "Raise");
    EXPECT_EQ(call(kRootInterface, "Quit").type(), QDBusMessage::ReplyMessage);

    ASSERT_TRUE(waitFor([&] { return player_.calls.contains("quit"); }));
    EXPECT_EQ(player_.calls, QStringList({"pause", "play", "playPause", "pause", "raise", "quit"}));
}

TEST_F(MprisServiceTest, AnnouncesExactlyWhatChanged) {
    auto& received = announcements_.received;
    player_.current.status = MediaPlayer::Status::Paused;
    service_->stateChanged();
    ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0],
              std::make_tuple(kPlayerInterface, QVariantMap{{"PlaybackStatus", "Paused"}},
                              QStringList()));

    // Neither a call without a change nor a client's new volume is announced; the title is.
    service_->stateChanged();
    call("org.freedesktop.DBus.Properties", "Set",
         {kPlayerInterface, "Volume", QVariant::fromValue(QDBusVariant(0.2))});
    player_.current.title = "Pink + Brown Noise";
    service_->stateChanged();
    ASSERT_TRUE(waitFor([&] { return received.size() >= 2; }));
    ASSERT_EQ(std::get<1>(received[1]).keys(), QStringList{"Metadata"});
    EXPECT_EQ(asMap(std::get<1>(received[1])["Metadata"])["xesam:title"], "Pink + Brown Noise");
    EXPECT_EQ(allProperties(kPlayerInterface)["Volume"], 1.0);

    call(kPlayerInterface, "PlayPause");
    ASSERT_TRUE(waitFor([&] { return received.size() >= 3; }));
    EXPECT_EQ(std::get<1>(received[2]), QVariantMap({{"PlaybackStatus", "Playing"}}));
    EXPECT_EQ(received.size(), 3);
}

TEST_F(MprisServiceTest, HoldsTheNameAloneAndGivesItBack) {
    FakeMediaPlayer otherPlayer;
    MprisService second(otherPlayer, "example.calmfield.Calmfield");
    EXPECT_FALSE(second.registerOn(connect("second")));
    EXPECT_FALSE(second.error().isEmpty());

    MprisService unreachable(otherPlayer, "example.calmfield.Calmfield");
    connections_ << "nowhere";
    EXPECT_FALSE(
        unreachable.registerOn(QDBusConnection::connectToBus("unix:path=/nowhere", "nowhere")));
    EXPECT_FALSE(unreachable.error().isEmpty());

    service_.reset();
    EXPECT_FALSE(client_->interface()->isServiceRegistered(kServiceName).value());
    EXPECT_TRUE(second.registerOn(connect("second"))) << second.error().toStdString();
}

TEST_F(MprisServiceTest, PlayerctlPausesAndReadsTheStatus) {
    if (QStandardPaths::findExecutable("playerctl").isEmpty())
        GTEST_SKIP() << "playerctl is not installed (tools/install-dependencies installs it)";
    playerctl({"play-pause"});
    EXPECT_EQ(player_.calls, QStringList{"playPause"});
    EXPECT_EQ(playerctl({"status"}), "Paused");
    EXPECT_EQ(playerctl({"metadata", "title"}), "Pink Noise");
}

} // namespace

#include "MprisServiceTest.moc"
