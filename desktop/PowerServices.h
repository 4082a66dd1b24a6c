#pragma once

#include <QString>

#include <chrono>

// The session bus's services that keep a computer awake, and how long an answer may take.
namespace calmfield::desktop {

inline constexpr std::chrono::milliseconds kPowerServiceTimeout{5000};

inline const QString kPowerManager = QStringLiteral("org.freedesktop.PowerManagement");
inline const QString kPowerManagerObject =
    QStringLiteral("/org/freedesktop/PowerManagement/Inhibit");
inline const QString kPowerManagerInhibit =
    QStringLiteral("org.freedesktop.PowerManagement.Inhibit");

inline const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalObject = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString kPortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
inline const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");

} // namespace calmfield::desktop
