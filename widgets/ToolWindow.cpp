#include "widgets/ToolWindow.h"

#include "resources/EmbeddedPictures.h"
#include "widgets/Accessibility.h"
#include "widgets/FixedSizeWindowHints.h"
#include "widgets/Twips.h"
#include "widgets/WindowKeys.h"

namespace calmfield::widgets {

ClientArea* makeToolWindow(QWidget& window, const char* name, const char* caption, int widthTwips,
                           int heightTwips) {
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(QString::fromLatin1(caption));
    makeFixedFrame(window, Qt::Window);
    exposeAsDialog(window);
    closeOnEscape(window);
    auto* client =
        new ClientArea(QPixmap(QString::fromLatin1(resources::kBackgroundPicture)), &window);
    const QSize clientSize(pixels(widthTwips), pixels(heightTwips));
    client->setFixedSize(clientSize);
    window.setFixedSize(clientSize);
    return client;
}

} // namespace calmfield::widgets
