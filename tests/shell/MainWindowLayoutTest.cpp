#include "MainWindowFixture.h"
#include "tests/support/ColourContrast.h"
#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QMenuBar>

#include <vector>

namespace calmfield {
namespace {

using namespace calmfield::testsupport;

using testsupport::MainWindowFixture;

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
    EXPECT_TRUE(testsupport::waitUntil([&] { return !form->isMaximized(); }));
    EXPECT_EQ(form->size(), size);

    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

// Every row of the layout table: the control of that name sits in its container at the row's
// place, converted to pixels, with the row's caption (the readouts show what the channels play).
TEST_F(MainWindowLayout, EveryControlSitsInItsContainerAtItsTablePlaceWithItsCaption) {
    using namespace shell::layout;
    struct Placed {
        const widgets::ControlRow& row;
        const widgets::ControlRow* container; // null for the client area
        bool captioned = true;
    };
    std::vector<Placed> places = {
        {kColoursFrame, nullptr},      {kVolumesFrame, nullptr},
        {kFrequencyFrame, nullptr},    {kColourPicture, nullptr},
        {kOptionsFrame, nullptr},      {kStartInTrayBox, &kOptionsFrame},
        {kResetFrame, nullptr},        {kResetAllButton, &kResetFrame},
        {kRecordButton, nullptr},      {kMuteButton, nullptr},
        {kTrayButton, nullptr},        {kCloseButton, nullptr},
        {kPanningLabel, nullptr},      {kPanningSlider, nullptr},
        {kMasterVolumeLabel, nullptr}, {kMasterVolumeSlider, nullptr},
    };
    for (std::size_t colour = 0; colour < engine::kColourCount; ++colour) {
        places.push_back({kColourToggles[colour], nullptr});
        places.push_back({kVolumeSliders[colour], &kVolumesFrame});
        places.push_back({kFrequencySliders[colour], &kFrequencyFrame});
        places.push_back({kFrequencyReadouts[colour], &kFrequencyFrame, false});
        places.push_back({kHzLabels[colour], &kFrequencyFrame});
    }
    for (const Placed& place : places) {
        SCOPED_TRACE(place.row.name);
        const QWidget* control = testsupport::control(form, place.row);
        const QWidget* container = place.container != nullptr
                                       ? testsupport::control(form, *place.container)
                                       : form->centralWidget();
        EXPECT_EQ(control->parentWidget(), container);
        EXPECT_EQ(control->geometry(), widgets::twipsRect(place.row.left, place.row.top,
                                                          place.row.width, place.row.height));
        if (place.captioned) {
            EXPECT_EQ(testsupport::captionOf(control), QLatin1String(place.row.caption));
        }
    }
    EXPECT_EQ(form->objectName(), kWindowName);
    EXPECT_EQ(form->findChildren<widgets::Slider*>().size(), 12);
    EXPECT_EQ(form->findChildren<widgets::CheckBox*>().size(), 6);
}

TEST_F(MainWindowLayout, MenusHaveTheirCaptionsNamesAndOrder) {
    const QList<QAction*> titles = form->menuBar()->actions();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0], mainMenu(form)->menuAction());
    EXPECT_EQ(titles[1], helpMenu(form)->menuAction());
    QStringList shown;
    for (const QMenu* menu : {mainMenu(form), helpMenu(form)}) {
        shown.append(menu->objectName() + ":" + menu->title());
        for (const QAction* item : menu->actions())
            shown.append(item->objectName() + ":" + (item->isSeparator() ? "-" : item->text()));
    }
    EXPECT_EQ(shown, (QStringList{"m:Menu", "load:Load  Config", "save:Save Config",
                                  ":Recent Mixes", ":Sleep Timer", "startAtLogin:Start at Login",
                                  "keepAwake:Keep Computer Awake", "tone:Tone…", "drift:Drift…",
                                  "routines:Routines…", "sep:-", "exit:Exit", "help:Help",
                                  "help2:Help", "jhg:Contact Us", "sep2:-", "about:About"}));
    EXPECT_EQ(sleepMenu(form)->menuAction(), mainMenu(form)->actions()[3]);
}

TEST_F(MainWindowLayout, OverlappingControlsLieAboveTheFramesTheyCover) {
    QWidget* window = form->centralWidget();
    EXPECT_EQ(window->childAt(60, 36), colourToggles(form)[0]); // on Frame1
    EXPECT_EQ(window->childAt(350, 252), recordButton(form));   // on Frame5
    EXPECT_EQ(window->childAt(420, 252), muteButton(form));
    EXPECT_EQ(window->childAt(480, 252), trayButton(form));
    // The strip where Options covers the frame of Reset All.
    EXPECT_EQ(window->childAt(400, 228), form->findChild<QWidget*>("Frame4"));
}

TEST_F(MainWindowLayout, SlidersHaveTheirRangesStepsAndStartingValues) {
    struct Expected {
        widgets::Slider* slider;
        int minimum, maximum, smallChange, largeChange, value;
    };
    const std::vector<Expected> sliders = {
        {panningSlider(form), -3000, 3000, 1000, 2000, 0},
        {masterVolumeSlider(form), 0, 32750, 1500, 11000, 16000},
        {volumeSliders(form)[0], -3000, 0, 1, 800, 0},
        {volumeSliders(form)[4], -3000, 0, 1, 800, 0},
        {frequencySliders(form)[0], 1000, 32767, 1, 8000, 32000},
        {frequencySliders(form)[4], 1000, 32767, 1, 8000, 32000},
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
    for (QLabel* readout : frequencyReadouts(form)) {
        EXPECT_TRUE(readout->autoFillBackground());
        EXPECT_EQ(readout->palette().color(QPalette::Window), QColor(0, 0, 0));
        EXPECT_EQ(readout->palette().color(QPalette::WindowText), QColor(255, 128, 0));
        EXPECT_EQ(readout->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }
    EXPECT_TRUE(colourPictureBox(form)->pixmap().isNull());
    EXPECT_EQ(startInTrayTimer(form)->objectName(), "Timer5");
    EXPECT_EQ(startInTrayTimer(form)->interval(), 500);
    EXPECT_TRUE(startInTrayTimer(form)->isSingleShot());
    EXPECT_TRUE(startInTrayTimer(form)->isActive());
}

TEST_F(MainWindowLayout, TabOrderRunsAsListedAndFocusStartsOnPanning) {
    EXPECT_EQ(form->focusWidget(), panningSlider(form));
    const std::vector<QWidget*> expected = {
        panningSlider(form),       masterVolumeSlider(form),  colourToggles(form)[0],
        colourToggles(form)[1],    colourToggles(form)[2],    colourToggles(form)[3],
        colourToggles(form)[4],    volumeSliders(form)[0],    volumeSliders(form)[1],
        volumeSliders(form)[2],    volumeSliders(form)[3],    volumeSliders(form)[4],
        frequencySliders(form)[0], frequencySliders(form)[1], frequencySliders(form)[2],
        frequencySliders(form)[3], frequencySliders(form)[4], colourPictureBox(form),
        closeButton(form),         trayButton(form),          recordButton(form),
        startInTrayBox(form),      muteButton(form),          resetAllButton(form)};
    std::vector<QWidget*> order;
    QWidget* widget = panningSlider(form);
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(form.data()))
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != panningSlider(form));
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace calmfield
