#include "widgets/Accessibility.h"

#include "widgets/Slider.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

#include <algorithm>
#include <cmath>

namespace calmfield::widgets {
namespace {

constexpr char kDialogProperty[] = "calmfieldAccessibleDialog";

// A slider's position in the unit of its name: its value in decibels, hertz or percent.
class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit AccessibleSlider(Slider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return QString::number(currentValue().toDouble());
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return inUnits(slider()->value()); }
    QVariant minimumValue() const override { return inUnits(slider()->minimum()); }
    QVariant maximumValue() const override { return inUnits(slider()->maximum()); }
    QVariant minimumStepSize() const override { return slider()->smallestChangeInUnits(); }
    void setCurrentValue(const QVariant& value) override {
        slider()->setValue(slider()->positionNearest(value.toDouble()));
    }

  private:
    Slider* slider() const { return static_cast<Slider*>(widget()); }
    QVariant inUnits(int position) const { return slider()->valueInUnits(position); }
};

QAccessibleInterface* interfaceFor(const QString& className, QObject* object) {
    if (className == QLatin1String(Slider::staticMetaObject.className()))
        return new AccessibleSlider(static_cast<Slider*>(object));
    if (object->isWidgetType() && object->property(kDialogProperty).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces() {
    static const bool installed = (QAccessible::installFactory(&interfaceFor), true);
    static_cast<void>(installed);
}

void announceName(QWidget& control, const QString& name) {
    if (control.accessibleName() == name)
        return;
    control.setAccessibleName(name); // which tells assistive technology of the change
}

void exposeAsDialog(QWidget& window) {
    window.setProperty(kDialogProperty, true);
    installAccessibleInterfaces();
}

} // namespace calmfield::widgets
