#pragma once

#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace calmfield::testsupport {

// Points the desktop's configuration folder at a fresh one before the window is made.
class OwnConfigFolder {
  protected:
    OwnConfigFolder() { ::setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1); }
    ~OwnConfigFolder() {
        if (saved)
            ::setenv("XDG_CONFIG_HOME", saved->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    const std::optional<std::string> saved =
        std::getenv("XDG_CONFIG_HOME") ? std::optional<std::string>(std::getenv("XDG_CONFIG_HOME"))
                                       : std::nullopt;
    QTemporaryDir config;
    const std::filesystem::path entry = std::filesystem::path(config.path().toStdString()) /
                                        "autostart" / (CALMFIELD_APPLICATION_ID ".desktop");
};

} // namespace calmfield::testsupport
