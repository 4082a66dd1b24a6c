#include "widgets/LayoutTable.h"

#include "resources/EmbeddedPictures.h"
#include "widgets/CheckBox.h"
#include "widgets/Frame.h"
#include "widgets/GraphicalButton.h"
#include "widgets/ListBox.h"
#include "widgets/PictureBox.h"
#include "widgets/RadioButton.h"
#include "widgets/Slider.h"
#include "widgets/TextBox.h"
#include "widgets/TimeBox.h"
#include "widgets/Twips.h"

#include <QLabel>

namespace calmfield::widgets {
namespace {

QWidget* filled(QWidget* box) {
    box->setAutoFillBackground(true);
    return box;
}

QWidget* button(const QString& caption, const char* face, QWidget* parent) {
    return new GraphicalButton(caption, QPixmap(QString::fromLatin1(face)), parent);
}

QWidget* make(ControlKind kind, const QString& caption, QWidget* parent) {
    switch (kind) {
    case ControlKind::Frame:
        return filled(new Frame(caption, parent));
    case ControlKind::GroupBox:
        return filled(new QGroupBox(caption, parent));
    case ControlKind::CheckBox:
        return new CheckBox(caption, parent);
    case ControlKind::RadioButton:
        return new RadioButton(caption, parent);
    case ControlKind::Slider:
        return new Slider({0, 0, 1, 1, 0}, parent);
    case ControlKind::Label: {
        auto* text = new QLabel(caption, parent);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return text;
    }
    case ControlKind::Picture:
        return new PictureBox(parent);
    case ControlKind::TextBox:
        return new TextBox(caption, parent);
    case ControlKind::SmallButton:
        return button(caption, resources::kSmallButtonFace, parent);
    case ControlKind::MediumButton:
        return button(caption, resources::kMediumButtonFace, parent);
    case ControlKind::WideButton:
        return button(caption, resources::kWideButtonFace, parent);
    case ControlKind::PushButton:
        return new PushButton(caption, parent);
    case ControlKind::ListBox:
        return new ListBox(caption, parent);
    case ControlKind::TimeBox:
        return new TimeBox(parent);
    }
    return nullptr;
}

} // namespace

QWidget* placeControl(const ControlRow& row, QWidget* parent) {
    QWidget* control = make(row.kind, QString::fromUtf8(row.caption), parent);
    control->setObjectName(QLatin1String(row.name));
    control->setGeometry(twipsRect(row.left, row.top, row.width, row.height));
    return control;
}

} // namespace calmfield::widgets
