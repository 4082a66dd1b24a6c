#include "MainWindowFixture.h"
#include "tests/support/ColourContrast.h"

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

    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

TEST_F(MainWindowLayout, CaptionsAreExact) {
    EXPECT_EQ(form->Frame1->title(), "Sound Color");
    EXPECT_EQ(form->Frame2->title(), "Volumes");
    EXPECT_EQ(form->Frame3->title(), "Frequency");
    EXPECT_EQ(form->Frame4->title(), "Options");
    EXPECT_EQ(form->Frame5->title(), "");
    EXPECT_EQ(form->Check1->text(), "Brown Noise");
    EXPECT_EQ(form->Check2->text(), "Pink Noise");
    EXPECT_EQ(form->Check3->text(), "White Noise");
    EXPECT_EQ(form->Check4->text(), "Blue Noise");
    EXPECT_EQ(form->Check5->text(), "Purple Noise");
    EXPECT_EQ(form->Check6->text(), "Start in system tray");
    EXPECT_EQ(form->Command1->text(), "Close");
    EXPECT_EQ(form->Command2->text(), "Tray");
    EXPECT_EQ(form->Command3->text(), "Record");
    EXPECT_EQ(form->Command4->text(), "Mute");
    EXPECT_EQ(form->Command6->text(), "Reset All");
    EXPECT_EQ(form->Label4->text(), "Panning");
    EXPECT_EQ(form->Label5->text(), "Master Vol");
    for (QLabel* unit : form->Label8)
        EXPECT_EQ(unit->text(), "hz");

    EXPECT_EQ(form->m->title(), "Menu");
    EXPECT_EQ(form->load->text(), "Load  Config");
    EXPECT_EQ(form->save->text(), "Save Config");
    EXPECT_TRUE(form->sep->isSeparator());
    EXPECT_EQ(form->exit->text(), "Exit");
    EXPECT_EQ(form->help->title(), "Help");
    EXPECT_EQ(form->help2->text(), "Help");
    EXPECT_EQ(form->jhg->text(), "Contact Us");
    EXPECT_TRUE(form->sep2->isSeparator());
    EXPECT_EQ(form->about->text(), "About");
    const QList<QAction*> titles = form->menuBar()->actions();
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0], form->m->menuAction());
    EXPECT_EQ(titles[1], form->help->menuAction());
    EXPECT_EQ(form->sleepMenu->title(), "Sleep Timer");
    EXPECT_EQ(form->m->actions(),
              (QList<QAction*>{form->load, form->save, form->sleepMenu->menuAction(), form->sep,
                               form->exit}));
}

TEST_F(MainWindowLayout, ControlsSitInTheirContainersAtTheirPlaces) {
    QWidget* window = form->centralWidget();
    struct Place {
        QWidget* control;
        QWidget* container;
        QRect pixels;
    };
    const std::vector<Place> places = {
        {form->Frame1, window, {8, 8, 153, 153}},
        {form->Check1, window, {24, 32, 121, 17}},
        {form->Check3, window, {24, 80, 97, 17}},
        {form->Check5, window, {24, 128, 113, 17}},
        {form->HScroll3, form->Frame2, {16, 24, 121, 17}},
        {form->HScroll7, form->Frame2, {16, 120, 121, 17}},
        {form->Frame3, window, {328, 8, 217, 153}},
        {form->HScroll10, form->Frame3, {16, 72, 121, 17}},
        {form->Label1, form->Frame3, {152, 24, 33, 17}},
        {form->Label7, form->Frame3, {152, 120, 33, 17}},
        {form->Picture1, window, {8, 168, 313, 137}},
        {form->Check6, form->Frame4, {16, 32, 185, 17}},
        {form->Frame5, window, {328, 224, 217, 81}},
        {form->Command6, form->Frame5, {16, 48, 185, 17}},
        {form->Command3, window, {344, 248, 57, 17}},
        {form->Command1, window, {488, 312, 57, 17}},
        {form->Label4, window, {16, 312, 41, 13}},
        {form->HScroll1, window, {56, 312, 93, 17}},
        {form->HScroll2, window, {224, 312, 93, 17}},
    };
    for (const Place& place : places) {
        const std::string name = place.control->objectName().toStdString();
        EXPECT_EQ(place.control->parentWidget(), place.container) << name;
        EXPECT_EQ(place.control->geometry(), place.pixels) << name;
    }
}

TEST_F(MainWindowLayout, HzLabelsAreNumberedZeroOnTheTopRowThenFourToOneDownwards) {
    const std::array<int, 5> indexOfRow = {0, 4, 3, 2, 1};
    const std::array<QLabel*, 5> readouts = {form->Label1, form->Label2, form->Label3, form->Label6,
                                             form->Label7};
    for (std::size_t row = 0; row < 5; ++row) {
        QLabel* unit = form->Label8[static_cast<std::size_t>(indexOfRow[row])];
        EXPECT_EQ(unit->parentWidget(), form->Frame3);
        EXPECT_EQ(unit->geometry(), QRect(184, 24 + 24 * static_cast<int>(row), 25, 17));
        EXPECT_EQ(unit->y(), readouts[row]->y());
    }
}

TEST_F(MainWindowLayout, OverlappingControlsLieAboveTheFramesTheyCover) {
    QWidget* window = form->centralWidget();
    EXPECT_EQ(window->childAt(60, 36), form->Check1);     // on Frame1
    EXPECT_EQ(window->childAt(350, 252), form->Command3); // on Frame5
    EXPECT_EQ(window->childAt(420, 252), form->Command4);
    EXPECT_EQ(window->childAt(480, 252), form->Command2);
    EXPECT_EQ(window->childAt(400, 228), form->Frame4); // the strip where Options covers Frame5
}

TEST_F(MainWindowLayout, SlidersHaveTheirRangesStepsAndStartingValues) {
    struct Expected {
        widgets::Slider* slider;
        int minimum, maximum, smallChange, largeChange, value;
    };
    const std::vector<Expected> sliders = {
        {form->HScroll1, -3000, 3000, 1000, 2000, 0},
        {form->HScroll2, 0, 32750, 1500, 11000, 16000},
        {form->HScroll3, -3000, 0, 1, 800, 0},
        {form->HScroll7, -3000, 0, 1, 800, 0},
        {form->HScroll8, 1000, 32767, 1, 8000, 32000},
        {form->HScroll12, 1000, 32767, 1, 8000, 32000},
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
    for (widgets::CheckBox* box :
         {form->Check1, form->Check2, form->Check3, form->Check4, form->Check5, form->Check6})
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

TEST_F(MainWindowLayout, ReadoutsAreOrangeOnBlackAndEmptyUntilTheFirstTick) {
    for (QLabel* readout : {form->Label1, form->Label2, form->Label3, form->Label6, form->Label7}) {
        EXPECT_EQ(readout->text(), "");
        EXPECT_TRUE(readout->autoFillBackground());
        EXPECT_EQ(readout->palette().color(QPalette::Window), QColor(0, 0, 0));
        EXPECT_EQ(readout->palette().color(QPalette::WindowText), QColor(255, 128, 0));
        EXPECT_EQ(readout->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    }
    EXPECT_TRUE(form->Picture1->pixmap().isNull());
    EXPECT_EQ(form->Timer3->interval(), 50);
    EXPECT_TRUE(form->Timer3->isActive());
    EXPECT_EQ(form->Timer5->interval(), 500);
    EXPECT_TRUE(form->Timer5->isActive());
}

TEST_F(MainWindowLayout, TabOrderRunsAsListedAndFocusStartsOnPanning) {
    EXPECT_EQ(form->focusWidget(), form->HScroll1);
    const std::vector<QWidget*> expected = {
        form->HScroll1,  form->HScroll2,  form->Check1,   form->Check2,   form->Check3,
        form->Check4,    form->Check5,    form->HScroll3, form->HScroll4, form->HScroll5,
        form->HScroll6,  form->HScroll7,  form->HScroll8, form->HScroll9, form->HScroll10,
        form->HScroll11, form->HScroll12, form->Picture1, form->Command1, form->Command2,
        form->Command3,  form->Check6,    form->Command4, form->Command6};
    std::vector<QWidget*> order;
    QWidget* widget = form->HScroll1;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(form.get()))
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != form->HScroll1);
    EXPECT_EQ(order, expected);
}

} // namespace
} // namespace calmfield
