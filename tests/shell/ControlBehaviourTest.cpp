#include "player/MasterVolume.h"
#include "widgets/CheckBox.h"
#include "widgets/GraphicalButton.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace calmfield {
namespace {

using widgets::CheckBox;

TEST(MasterVolume, PositionTimesOneNinetyNineRoundsHalvesToEven) {
    EXPECT_EQ(player::speakerVolumeForMasterPosition(16000), 31840u);
    EXPECT_EQ(player::speakerVolumeForMasterPosition(32750), 65172u); // 65172.5
    EXPECT_EQ(player::speakerVolumeForMasterPosition(1), 2u);         // 1.99
    EXPECT_EQ(player::speakerVolumeForMasterPosition(0), 0u);
    EXPECT_EQ(player::speakerVolumeForMasterPosition(50), 100u);  // 99.5
    EXPECT_EQ(player::speakerVolumeForMasterPosition(150), 298u); // 298.5
    EXPECT_EQ(player::speakerVolumeForMasterPosition(3), 6u);     // 5.97
}

TEST(CheckBoxValues, ProgramValuesMapOntoTheBoxStates) {
    CheckBox box(QStringLiteral("Pink Noise"));
    QSignalSpy changes(&box, &CheckBox::valueChanged);
    EXPECT_TRUE(box.setValue(CheckBox::kOn));
    EXPECT_EQ(box.checkState(), Qt::Checked);
    EXPECT_TRUE(box.setValue(CheckBox::kGreyed));
    EXPECT_EQ(box.checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(box.value(), CheckBox::kGreyed);
    EXPECT_TRUE(box.setValue(CheckBox::kGreyed)); // unchanged: no signal
    EXPECT_FALSE(box.setValue(3));
    EXPECT_FALSE(box.setValue(-1));
    EXPECT_EQ(box.value(), CheckBox::kGreyed);
    EXPECT_TRUE(box.setValue(CheckBox::kOff));
    EXPECT_EQ(box.checkState(), Qt::Unchecked);

    ASSERT_EQ(changes.size(), 3);
    EXPECT_EQ(changes[0][0].toInt(), CheckBox::kOn);
    EXPECT_EQ(changes[1][0].toInt(), CheckBox::kGreyed);
    EXPECT_EQ(changes[2][0].toInt(), CheckBox::kOff);
}

TEST(CheckBoxValues, ClicksTurnOnAndOffAndNeverGrey) {
    CheckBox box(QStringLiteral("Blue Noise"));
    box.click();
    EXPECT_EQ(box.value(), CheckBox::kOn);
    box.click();
    EXPECT_EQ(box.value(), CheckBox::kOff);
    box.setValue(CheckBox::kGreyed);
    box.click();
    EXPECT_EQ(box.value(), CheckBox::kOn);
}

TEST(GraphicalButtonLook, FaceIsCentredAndClippedWithTheCaptionAlongTheBottom) {
    // A face wider and taller than the button: left half red, right half blue.
    QPixmap face(65, 44);
    face.fill(Qt::red);
    {
        QPainter painter(&face);
        painter.fillRect(33, 0, 32, 44, Qt::blue);
    }
    widgets::GraphicalButton button(QStringLiteral("Mute"), face);
    button.resize(57, 40);
    const QImage drawn = button.grab().toImage();

    // The face's halves meet at the button's middle, not at the face's own x = 33.
    EXPECT_EQ(QColor(drawn.pixel(10, 10)), QColor(Qt::red));
    EXPECT_EQ(QColor(drawn.pixel(27, 10)), QColor(Qt::red));
    EXPECT_EQ(QColor(drawn.pixel(30, 10)), QColor(Qt::blue));
    EXPECT_EQ(QColor(drawn.pixel(50, 10)), QColor(Qt::blue));

    auto captionInk = [&](int fromRow, int toRow) {
        int ink = 0;
        for (int y = fromRow; y < toRow; ++y) {
            for (int x = 4; x < drawn.width() - 4; ++x) {
                const QColor colour(drawn.pixel(x, y));
                ink += colour != QColor(Qt::red) && colour != QColor(Qt::blue);
            }
        }
        return ink;
    };
    EXPECT_EQ(captionInk(3, 15), 0);
    EXPECT_GT(captionInk(20, 37), 10);
}

} // namespace
} // namespace calmfield
