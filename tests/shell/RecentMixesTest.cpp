// The recent mixes: the list that loading and saving make, its menu, and Next and Previous from
// the media controls on a private session bus.

#include "MainWindowFixture.h"

#include "desktop/MprisAdaptors.h"
#include "desktop/MprisService.h"
#include "session/MediaControls.h"
#include "tests/support/PrivateSessionBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSet>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;
using testsupport::mixOf;
using testsupport::putFile;

// Brown alone at a volume of its own, so that each mix is known by its first volume.
QByteArray mixWithVolume(int volume) {
    return QByteArray("1,0,0,0,0,") + QByteArray::number(volume) +
           ",0,0,0,0,22050,22050,22050,22050,22050\r\n";
}

class RecentMixes : public MainWindowFixture {
  protected:
    RecentMixes() { startInTrayTimer(form)->stop(); }

    // A mix written in the user's folder `within`, loaded through Load.
    QString loaded(const QString& name, int volume, const char* within = "mixes") {
        const auto file = root / within / name.toStdString();
        std::filesystem::create_directories(file.parent_path());
        putFile(file, mixWithVolume(volume));
        dialog.answers = {QFile::decodeName(file.c_str())};
        loadAction(form)->trigger();
        return QFile::decodeName(file.c_str());
    }
    // The mixes as the menu shows them when "Menu" opens, each as "caption | tooltip", and
    // whether "Clear Recent Mixes" comes last.
    QStringList shownItems() {
        emit mainMenu(form)->aboutToShow();
        QList<QAction*> items = recentMixesMenu(form)->actions();
        EXPECT_EQ(items.takeLast()->objectName(), "clearRecentMixes");
        EXPECT_TRUE(items.takeLast()->isSeparator());
        QStringList shown;
        for (const QAction* item : items)
            shown << item->text() + " | " + item->toolTip();
        return shown;
    }
    int firstVolume() { return mixOf(*form)[5]; }

    std::filesystem::path root = std::filesystem::path(scratch.path().toStdString()) / "user";
    QString folderOf(const char* name) const { return QFile::decodeName((root / name).c_str()); }
};

TEST_F(RecentMixes, LoadsAndSavesAreListedNewestFirstAfterSaveAndKeptForTheNextRun) {
    EXPECT_FALSE(recentMixesMenu(form)->menuAction()->isEnabled()) << "an empty list is disabled";
    const QString rnb = loaded("R&B.clm", -100);
    loaded("night.clm", -200, "a");
    loaded("night.CLM", -300, "b");
    dialog.answers = {folderOf("saved.clm")};
    saveAction(form)->trigger();
    const QString mixes = folderOf("mixes"), a = folderOf("a"), b = folderOf("b");
    const QStringList all{"saved | " + QFile::decodeName(root.c_str()), "night (" + b + ") | " + b,
                          "night (" + a + ") | " + a, "R&&B | " + mixes};
    EXPECT_EQ(shownItems(), all);
    EXPECT_TRUE(recentMixesMenu(form)->menuAction()->isEnabled());

    // A file removed meanwhile is left out when the menu opens, and back once it is there again.
    QFile::rename(rnb, rnb + ".away");
    EXPECT_EQ(shownItems(), all.first(3));
    QFile::rename(rnb + ".away", rnb);
    startAgain();
    EXPECT_EQ(shownItems(), all);
}

TEST_F(RecentMixes, AnItemLoadsAsLoadDoesAndClearingEmptiesTheListForGood) {
    const QString quiet = loaded("quiet.clm", -100);
    loaded("loud.clm", -200);
    session->player().setStartInTray(persistence::kOn);
    startInTrayTimer(form)->stop();
    shownItems();
    recentMixesMenu(form)->actions()[1]->trigger();
    EXPECT_EQ(firstVolume(), -100);
    EXPECT_TRUE(startInTrayTimer(form)->isActive()) << "as Load arms it";

    putFile(quiet.toStdString(), "damaged");
    shownItems();
    recentMixesMenu(form)->actions()[0]->trigger();
    EXPECT_EQ(firstVolume(), -100);
    ASSERT_EQ(messages.messages.size(), 1);
    EXPECT_TRUE(messages.messages[0].startsWith("The configuration \"" + quiet + "\" could not"));

    shownItems();
    recentMixesMenu(form)->findChild<QAction*>("clearRecentMixes")->trigger();
    startAgain();
    EXPECT_FALSE(recentMixesMenu(form)->menuAction()->isEnabled());
}

QVariantMap asMap(const QVariant& value) {
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>())
                                             : value.toMap();
}

TEST_F(RecentMixes, NextAndPreviousStepThroughTheListOnTheSessionBusPassingOverBrokenFiles) {
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.start()) << bus.error();
    session::MediaControls controls(*session, {.raise = {}, .quit = [] {}});
    desktop::MprisService service(controls, "example.calmfield.Calmfield");
    QObject::connect(&controls, &session::MediaControls::mediaStateChanged, &service,
                     &desktop::MprisService::stateChanged);
    ASSERT_TRUE(service.registerOn(QDBusConnection::connectToBus(bus.address().c_str(), "mixes")));
    QDBusConnection client = QDBusConnection::connectToBus(bus.address().c_str(), "client");
    const auto call = [&](const char* method) {
        const auto message = QDBusMessage::createMethodCall(desktop::MprisService::kServiceName,
                                                            desktop::kMprisObjectPath,
                                                            desktop::kMprisPlayerInterface, method);
        client.call(message, QDBus::BlockWithGui, 5000);
    };
    const auto player = [&] {
        auto message = QDBusMessage::createMethodCall(desktop::MprisService::kServiceName,
                                                      desktop::kMprisObjectPath,
                                                      "org.freedesktop.DBus.Properties", "GetAll");
        message << QString(desktop::kMprisPlayerInterface);
        return asMap(client.call(message, QDBus::BlockWithGui, 5000).arguments().value(0));
    };
    const auto title = [&] { return asMap(player()["Metadata"])["xesam:title"].toString(); };
    const auto track = [&] {
        return asMap(player()["Metadata"])["mpris:trackid"].value<QDBusObjectPath>().path();
    };

    EXPECT_EQ(title(), "Calmfield") << "nothing loaded from a file yet";
    const QString before = track();
    const QString oldest = loaded("oldest.clm", -100);
    EXPECT_FALSE(player()["CanGoNext"].toBool());
    loaded("middle.clm", -200);
    loaded("newest.clm", -300);
    EXPECT_EQ(QVariantList({player()["CanGoNext"], player()["CanGoPrevious"]}),
              QVariantList({true, true}));
    EXPECT_EQ(title(), "newest");
    QStringList tracks{before, track()};

    // Next goes older and on round, Previous back; the list keeps its order.
    std::vector<int> heard;
    for (const char* method : {"Next", "Next", "Next", "Previous"}) {
        call(method);
        heard.push_back(firstVolume());
        tracks << track();
    }
    EXPECT_EQ(heard, (std::vector<int>{-200, -100, -300, -100}));
    EXPECT_EQ(title(), "oldest");
    EXPECT_EQ(tracks.size(), QSet<QString>(tracks.begin(), tracks.end()).size())
        << tracks.join(' ').toStdString();
    EXPECT_EQ(session->recentMixes().existing().constFirst(), folderOf("mixes/newest.clm"));

    // A file that no longer loads is passed over, without a word.
    putFile(folderOf("mixes/newest.clm").toStdString(), "damaged");
    call("Next");
    EXPECT_EQ(firstVolume(), -200);
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('\n').toStdString();
    QFile::remove(oldest);
    QFile::remove(folderOf("mixes/newest.clm"));
    EXPECT_FALSE(player()["CanGoNext"].toBool());
    QDBusConnection::disconnectFromBus("client");
    QDBusConnection::disconnectFromBus("mixes");
}

} // namespace
} // namespace calmfield
