#pragma once

#include <QScrollBar>

#include <functional>

namespace calmfield::widgets {

// A horizontal scroll bar that reports committed changes only: a click on an arrow or on the
// track, a keyboard step, or the end of a drag. It takes the keyboard focus and shows it as a ring
// on the thumb. To assistive technology it gives its value in the unit its accessible name says.
//
// It is drawn in the program's own colours from its palette: a copper track (Mid) under a
// light brushed thumb and arrow buttons (Button) with raised edges like the program's buttons,
// and dark arrows (ButtonText). Where its parts lie is left to the style.
class Slider : public QScrollBar {
    Q_OBJECT

  public:
    struct Range {
        int minimum;
        int maximum;
        int smallChange; // an arrow click or arrow key
        int largeChange; // a click on the track or a page key
        int value;
    };

    Slider(const Range& range, QWidget* parent = nullptr);

    void setRange(const Range& range);
    using QScrollBar::setRange;

    // How many of the slider's steps make one of the unit its accessible name gives: its
    // accessible value is its position divided by this.
    void setStepsPerUnit(double steps) { stepsPerUnit_ = steps; }
    double stepsPerUnit() const { return stepsPerUnit_; }
    // How far Ctrl with an arrow key moves it; with none those keys move it as the plain ones do.
    void setControlStep(int steps) { controlStep_ = steps; }
    int controlStep() const { return controlStep_; }

    // For a unit that no fixed number of steps makes, as hertz over semitone steps: the value at a
    // position, and the position, unrounded, where a value lies. It takes the place of the steps
    // per unit.
    struct UnitScale {
        std::function<double(int)> valueAt;
        std::function<double(double)> positionOf;
    };
    void setUnitScale(UnitScale scale) { unitScale_ = std::move(scale); }
    // The position's value in the slider's unit.
    double valueInUnits(int position) const;
    // The position within the range whose value lies nearest `value`.
    int positionNearest(double value) const;
    // What one small change moves the value by, at the bottom of the range.
    double smallestChangeInUnits() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Left, Up and Page Up step towards the minimum; Right, Down and Page Down towards the
    // maximum; Home and End go to the ends.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    double stepsPerUnit_ = 1.0;
    int controlStep_ = 0;
    UnitScale unitScale_;
};

} // namespace calmfield::widgets
