#include "MainWindowFixture.h"
#include "tests/support/ColourContrast.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QMenuBar>

#include <vector>

namespace calmfield {
namespace {

using testing::MainWindowFixture;

class MainWindowLayout : public MainWindowFixture {};

TEST_F(MainWindowLayout, WindowHasItsCaptionFixedClientAreaCloseBoxOnlyAndIcon) {
    EXPECT_EQ(form->windowTitle(), "Calmfieldv2.0");
    EXPECT_EQ(form->centralWidget()->size(), QSize(554, 336));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->height(), form->menuBar()->height() + 336);

    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask,
              Qt::Window); // not a tool window: keeps its taskbar button
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    const QSize size = form->size();
    form->setWindowState(Qt::WindowMaximized); // as decorations the program draws may offer
    EXPECT_TRUE(testing::waitUntil([&] { return !form->isMaximized(); }));
    EXPECT_EQ(form->size(), size);

    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

// Every control by its object name: its container ("" for the client area), its place in pixels
// and its caption (the readouts show what the channels play).
TEST_F(MainWindowLayout, EveryControlSitsInItsContainerAtItsPlaceWithItsCaption) {
    struct Place {
        const char* name;
        const char* container;
        QRect pixels;
        const char* caption;
    };
    const std::vector<Place> places = {
        {"Frame1", "", {8, 8, 153, 153}, "Sound Color"},
        {"Check1", "", {24, 32, 121, 17}, "Brown Noise"},
        {"Check2", "", {24, 56, 121, 17}, "Pink Noise"},
        {"Check3", "", {24, 80, 97, 17}, "White Noise"},
        {"Check4", "", {24, 104, 121, 17}, "Blue Noise"},
        {"Check5", "", {24, 128, 113, 17}, "Purple Noise"},
        {"Frame2", "", {168, 8, 153, 153}, "Volumes"},
        {"HScroll3", "Frame2", {16, 24, 121, 17}, ""},
        {"HScroll5", "Frame2", {16, 72, 121, 17}, ""},
        {"HScroll7", "Frame2", {16, 120, 121, 17}, ""},
        {"Frame3", "", {328, 8, 217, 153}, "Frequency"},
        {"HScroll8", "Frame3", {16, 24, 121, 17}, ""},
        {"HScroll10", "Frame3", {16, 72, 121, 17}, ""},
        {"HScroll12", "Frame3", {16, 120, 121, 17}, ""},
        {"Label1", "Frame3", {152, 24, 33, 17}, nullptr},
        {"Label2", "Frame3", {152, 48, 33, 17}, nullptr},
        {"Label3", "Frame3", {152, 72, 33, 17}, nullptr},
        {"Label6", "Frame3", {152, 96, 33, 17}, nullptr},
        {"Label7", "Frame3", {152, 120, 33, 17}, nullptr},
        // The "hz" units: 0 on the top row, then 4 to 1 downwards.
        {"Label8(0)", "Frame3", {184, 24, 25, 17}, "hz"},
        {"Label8(4)", "Frame3", {184, 48, 25, 17}, "hz"},
        {"Label8(3)", "Frame3", {184, 72, 25, 17}, "hz"},
        {"Label8(2)", "Frame3", {184, 96, 25, 17}, "hz"},
        {"Label8(1)", "Frame3", {184, 120, 25, 17}, "hz"},
        {"Picture1", "", {8, 168, 313, 137}, ""},
        {"Frame4", "", {328, 168, 217, 65}, "Options"},
        {"Check6", "Frame4", {16, 32, 185, 17}, "Start in system tray"},
        {"Frame5", "", {328, 224, 217, 81}, ""},
        {"Command6", "Frame5", {16, 48, 185, 17}, "Reset All"},
        {"Command3", "", {344, 248, 57, 17}, "Record"},
        {"Command4", "", {408, 248, 57, 17}, "Mute"},
        {"Command2", "", {472, 248, 57, 17}, "Tray"},
        {"Command1", "", {488, 312, 57, 17}, "Close"},
        {"Label4", "", {16, 312, 41, 13}, "Panning"},
        {"HScroll1", "", {56, 312, 93, 17}, ""},
        {"Label5", "", {168, 312, 50, 13}, "Master Vol"},
        {"HScroll2", "", {224, 312, 93, 17}, ""},
    };
    for (const Place& place : places) {
        const auto* control = form->findChild<QWidget*>(QLatin1String(place.name));
        ASSERT_NE(control, nullptr) << place.name;
        const QWidget* container = *place.container
                                       ? form->findChild<QWidget*>(QLatin1String(place.container))
                                       : form->centralWidget();
        EXPECT_EQ(control->parentWidget(), container) << place.name;
        EXPECT_EQ(control->geometry(), place.pixels) << place.name;
        if (place.caption != nullptr) {
            EXPECT_EQ(testsupport::captionOf(control), QLatin1String(place.caption)) << place.name;
        }
    }
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->findChildren<widgets::Slider*>().size(), 12);
    EXPECT_EQ(form->findChildren<widgets::CheckBox*>().size(), 6);
    // The role members are the controls of those names.
    EXPECT_EQ(form->colourToggles[3]->objectName(), "Check4");
    EXPECT_EQ(form->volumeSliders[1]->objectName(), "HScroll4");
    EXPECT_EQ(form->frequencySliders[3]->objectName(), "HScroll11");
    EXPECT_EQ(form->frequencyReadouts[3]->objectName(), "Label6");
    EXPECT_EQ(form->colourPicture->objectName(), "Picture1");
    EXPECT_EQ(form->trayButton->objectName(), "Command2");
}

TEST_F(MainWindowLayout, MenusHaveTheirCaptionsNamesAndOrder) {
    const QList<QAction*> titles = form->menuBar()->actions();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0], form->mainMenu->menuAction());
    EXPECT_EQ(titles[1], form->helpMenu->menuAction());
    QStringList shown;
    for (const QMenu* menu : {form->mainMenu, form->helpMenu}) {
        shown.append(menu->objectName() + ":" + menu->title());
        for (const QAction* item : menu->actions())
            shown.append(item->objectName() + ":" + (item->isSeparator() ? "-" : item->text()));
    }
    EXPECT_EQ(shown,
              (QStringList{"m:Menu", "load:Load  Config", "save:Save Config", ":Recent Mixes",
                           ":Sleep Timer", "startAtLogin:Start at Login",
                           "keepAwake:Keep Computer Awake", "sep:-", "exit:Exit", "help:Help",
                           "help2:Help", "jhg:Contact Us", "sep2:-", "about:About"}));
    EXPECT_EQ(form->sleepMenu->menuAction(), form->mainMenu->actions()[3]);
}

TEST_F(MainWindowLayout, OverlappingControlsLieAboveTheFramesTheyCover) {
    QWidget* window = form->centralWidget();
    EXPECT_EQ(window->childAt(60, 36), form->colourToggles[0]); // on Frame1
    EXPECT_EQ(window->childAt(350, 252), form->recordButton);   // on Frame5
    EXPECT_EQ(window->childAt(420, 252), form->muteButton);
    EXPECT_EQ(window->childAt(480, 252), form->trayButton);
    // The strip where Options covers the frame of Reset All.
    EXPECT_EQ(window->childAt(400, 228), form->findChild<QWidget*>("Frame4"));
}

TEST_F(MainWindowLayout, SlidersHaveTheirRangesStepsAndStartingValues) {
    struct Expected {
        widgets::Slider* slider;
        int minimum, maximum, smallChange, largeChange, value;
    };
    const std::vector<Expected> sliders = {
        {form->panningSlider, -3000, 3000, 1000, 2000, 0},
        {form->masterVolumeSlider, 0, 32750, 1500, 11000, 16000},
        {form->volumeSliders[0], -3000, 0, 1, 800, 0},
        {form->volumeSliders[4], -3000, 0, 1, 800, 0},
        {form->frequencySliders[0], 1000, 32767, 1, 8000, 32000},
        {form->frequencySliders[4], 1000, 32767, 1, 8000, 32000},
    };
    for (const Expected& e : sliders) {
        EXPECT_EQ(e.slider->minimum(), e.minimum);
        EXPECT_EQ(e.slider->maximum(), e.maximum);
        EXPECT_EQ(e.slider->singleStep(), e.smallChange);
        EXPECT_EQ(e.slider->pageStep(), e.largeChange);
        EXPECT_EQ(e.slider->value(), e.value);
        EXPECT_EQ(e.slider->orientation(), Qt::Horizontal);
        EXPECT_FALSE(e.slider->hasTracking());
    }
    for (const widgets::CheckBox* box : form->findChildren<widgets::CheckBox*>())
        EXPECT_EQ(box->value(), widgets::CheckBox::kOff);
}

// Each thumb is drawn in the slider's button colour over its track's: it must stand out at a
// glance.
TEST_F(MainWindowLayout, SliderThumbsStandOutFromTheirTracks) {
    const QList<widgets::Slider*> sliders = form->findChildren<widgets::Slider*>();
    ASSERT_EQ(sliders.size(), 12);
    for (const widgets::Slider* slider : sliders) {
        const QPalette& colours = slider->palette();
        EXPECT_GE(testsupport::contrastRatio(colours.color(QPalette::Button),
                                             colours.color(QPalette::Mid)),
                  3.0)
            << slider->objectName().toStdString();
    }
}

TEST_F(MainWindowLayout, ReadoutsAreOrangeOnBlackAndTheStartInTrayTimerFiresOnce) {
    for (QLabel* readout : form->frequencyReadouts) {
        EXPECT_TRUE(readout->autoFillBackground());
        EXPECT_EQ(readout->palette().color(QPalette::Window), QColor(0, 0, 0));
        EXPECT_EQ(readout->palette().color(QPalette::WindowText), QColor(255, 128, 0));
        EXPECT_EQ(readout->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }
    EXPECT_TRUE(form->colourPicture->pixmap().isNull());
    EXPECT_EQ(form->startInTrayTimer->objectName(), "Timer5");
    EXPECT_EQ(form->startInTrayTimer->interval(), 500);
    EXPECT_TRUE(form->startInTrayTimer->isSingleShot());
    EXPECT_TRUE(form->startInTrayTimer->isActive());
}

TEST_F(MainWindowLayout, TabOrderRunsAsListedAndFocusStartsOnPanning) {
    EXPECT_EQ(form->focusWidget(), form->panningSlider);
    const std::vector<QWidget*> expected = {
        form->panningSlider,       form->masterVolumeSlider,  form->colourToggles[0],
        form->colourToggles[1],    form->colourToggles[2],    form->colourToggles[3],
        form->colourToggles[4],    form->volumeSliders[0],    form->volumeSliders[1],
        form->volumeSliders[2],    form->volumeSliders[3],    form->volumeSliders[4],
        form->frequencySliders[0], form->frequencySliders[1], form->frequencySliders[2],
        form->frequencySliders[3], form->frequencySliders[4], form->colourPicture,
        form->closeButton,         form->trayButton,          form->recordButton,
        form->startInTrayBox,      form->muteButton,          form->resetAllButton};
    std::vector<QWidget*> order;
    QWidget* widget = form->panningSlider;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(form.get()))
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != form->panningSlider);
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace calmfield
