#pragma once

class QString;
class QWidget;

namespace calmfield::widgets {

// Lets assistive technology read the program's own widgets: a slider as a slider whose value is
// in the unit its accessible name gives, and a window marked as a dialog as one. Installing them
// more than once changes nothing.
void installAccessibleInterfaces();

// Makes `window` known to assistive technology as a dialog, whose labels are read out when it
// opens, rather than as a bare pane. Called before anything asks about the window.
void exposeAsDialog(QWidget& window);

// Gives `control` the accessible name `name`. A change of name is what assistive technology hears
// of a readout that changed; the same name again tells it nothing.
void announceName(QWidget& control, const QString& name);

} // namespace calmfield::widgets
