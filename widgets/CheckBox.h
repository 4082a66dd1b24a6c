#pragma once

#include "persistence/ToggleState.h"

#include <QCheckBox>

namespace calmfield::widgets {

// A check box holding the program's values: 0 (off), 1 (on) or 2 (greyed). The user's clicks turn
// it on, or off when it is on; only the program sets it greyed. It shows the keyboard focus as a
// ring around its box and caption.
class CheckBox : public QCheckBox {
    Q_OBJECT

  public:
    static constexpr int kOff = persistence::kOff;
    static constexpr int kOn = persistence::kOn;
    static constexpr int kGreyed = persistence::kGreyed;

    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);

    int value() const;
    // Sets 0, 1 or 2; any other value changes nothing and gives false.
    bool setValue(int value);

  signals:
    // The value changed, whether the user or the program changed it.
    void valueChanged(int value);

  protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace calmfield::widgets
