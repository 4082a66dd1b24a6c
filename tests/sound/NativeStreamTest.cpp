#include "sound/DesktopSoundOutput.h"
#include "tests/support/SoundServers.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace calmfield::sound {
namespace {

using namespace std::chrono_literals;

class SilentRenderer final : public engine::AudioRenderer {
  public:
    void render(float* interleavedStereo, std::size_t frames, std::uint32_t) noexcept override {
        std::fill_n(interleavedStereo, frames * 2, 0.05f);
    }
};

using ServerNativeStream = testsupport::ServerTest<testsupport::PrivatePipeWireServer>;

// The graph's object of the given type whose properties hold `key` = `value`; empty if none.
QJsonObject findObject(const QJsonArray& objects, const QString& type, const QString& key,
                       const QString& value) {
    for (const auto& object : objects) {
        const QJsonObject node = object.toObject();
        if (node["type"].toString() == type &&
            node["info"]["props"][key].toVariant().toString() == value)
            return node;
    }
    return {};
}

// What the desktop's sound settings and the session manager see of the stream: the program's
// name and icon, its restore identity, no media role, cycles as long as the graph allows, and a
// link to the default output.
TEST_F(ServerNativeStream, ShowsAsTheProgramWithLongCyclesLinkedToTheDefaultOutput) {
    startServer(48000);
    if (IsSkipped() || HasFatalFailure())
        return;
    SilentRenderer renderer;
    DesktopSoundOutput output(server.address(), "Calmfield");
    ASSERT_TRUE(output.start(renderer, 5s).ok());
    ASSERT_TRUE(output.native());
    EXPECT_EQ(output.sampleRate(), 48000u);
    ASSERT_TRUE(soundReachesSink(3s));

    const auto dump = server.pwDump();
    ASSERT_TRUE(dump.has_value());
    const QJsonArray objects = QJsonDocument::fromJson(QByteArray::fromStdString(*dump)).array();
    const QJsonObject stream =
        findObject(objects, "PipeWire:Interface:Node", "application.name", "Calmfield");
    ASSERT_FALSE(stream.isEmpty()) << *dump;
    const QJsonObject properties = stream["info"]["props"].toObject();
    EXPECT_EQ(properties["application.icon-name"].toString(), CALMFIELD_APPLICATION_ID);
    EXPECT_EQ(properties["module-stream-restore.id"].toString(), CALMFIELD_APPLICATION_ID);
    EXPECT_EQ(properties["media.class"].toString(), "Stream/Output/Audio");
    EXPECT_FALSE(properties.contains("media.role"));
    EXPECT_EQ(properties["node.latency"].toString(), "2048/48000");
    EXPECT_FALSE(properties.contains("pulse.server.type")) << "played through pipewire-pulse";

    const QJsonObject sink = findObject(objects, "PipeWire:Interface:Node", "node.name",
                                        QString::fromStdString(server.sinkName()));
    const auto linked = std::any_of(objects.begin(), objects.end(), [&](const auto& object) {
        const QJsonObject info = object.toObject()["info"].toObject();
        return info["output-node-id"].toInt() == stream["id"].toInt() &&
               info["input-node-id"].toInt() == sink["id"].toInt();
    });
    EXPECT_TRUE(linked);
}

} // namespace
} // namespace calmfield::sound
