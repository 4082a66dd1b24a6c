// Mixes that last: configuration files the user saves and loads, and the startup settings file
// that carries the mix and "Start in system tray" from one run to the next.

#include "persistence/FieldRanges.h"
#include "persistence/LineFile.h"
#include "persistence/StartupSettingsLocation.h"
#include "shell/MainWindow.h"

#include <QFile>

#include <system_error>
#include <vector>

namespace calmfield::shell {
namespace {

const QString kFilterDescription = QStringLiteral("Calmfield Files (*.clm)");
const QString kFilterPattern = QStringLiteral("*.clm");

QString shownPath(const std::filesystem::path& path) {
    return QFile::decodeName(path.c_str());
}

int valueOf(const QWidget* control) {
    if (const auto* box = qobject_cast<const widgets::CheckBox*>(control))
        return box->value();
    return qobject_cast<const widgets::Slider*>(control)->value();
}

// Goes through the control as a user change would: its handler runs when the value changes.
void assign(QWidget* control, int value) {
    if (auto* box = qobject_cast<widgets::CheckBox*>(control))
        box->setValue(value);
    else
        qobject_cast<widgets::Slider*>(control)->setValue(value);
}

persistence::FieldRange rangeOf(const QWidget* control) {
    using Control = persistence::FieldRange::Control;
    if (qobject_cast<const widgets::CheckBox*>(control) != nullptr)
        return {Control::checkBox, widgets::CheckBox::kOff, widgets::CheckBox::kGreyed};
    const auto* slider = qobject_cast<const widgets::Slider*>(control);
    return {Control::slider, slider->minimum(), slider->maximum()};
}

std::vector<std::int16_t> valuesOf(std::span<QWidget* const> controls) {
    std::vector<std::int16_t> values;
    for (const QWidget* control : controls)
        values.push_back(static_cast<std::int16_t>(valueOf(control)));
    return values;
}

// Reads one value for each control and checks that every control takes its value, so that a
// file is either applied whole or not at all.
persistence::LineFileContent readValuesFor(const QString& path,
                                           std::span<QWidget* const> controls) {
    persistence::LineFileContent content = persistence::readLineFile(path, controls.size());
    if (!content.error.isEmpty())
        return content;
    std::vector<persistence::FieldRange> ranges;
    for (const QWidget* control : controls)
        ranges.push_back(rangeOf(control));
    const std::string refused = persistence::firstRefusedValue(content.values, ranges);
    if (!refused.empty())
        return {{}, QString::fromStdString(refused)};
    return content;
}

// Writes the settings file, making its folder first when it is the user's own and new.
QString writeSettingsFile(const std::filesystem::path& file, std::span<const std::int16_t> values) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return QStringLiteral("its folder cannot be created (%1)")
            .arg(QString::fromStdString(error.message()));
    }
    return persistence::writeLineFile(shownPath(file), values);
}

// Copies a settings file that cannot be used to `copy`, replacing an older copy, so that what the
// user had in it outlives the file being written at close. Gives what went wrong, or an empty text.
QString keepCopy(const std::filesystem::path& file, const std::filesystem::path& copy) {
    std::error_code error;
    // Removed first, so that a read-only older copy is replaced too.
    std::filesystem::remove(copy, error);
    if (!error)
        std::filesystem::copy_file(file, copy, error);
    return error ? QString::fromStdString(error.message()) : QString();
}

} // namespace

void MainWindow::prepareCommonDialog() {
    CommonDialog1->setFilter(kFilterDescription, kFilterPattern);
    CommonDialog1->setInitialFolder(shownPath(programFolder_));
}

void MainWindow::saveClicked() {
    prepareCommonDialog();
    CommonDialog1->showSave();
    const QString path = CommonDialog1->chosenPath();
    if (path.isEmpty())
        return;
    const QString error = persistence::writeLineFile(path, valuesOf(configurationControls()));
    if (!error.isEmpty()) {
        messages_.showMessage(
            QStringLiteral("The configuration \"%1\" could not be saved: %2. No file was changed.")
                .arg(path, error));
    }
}

void MainWindow::loadClicked() {
    prepareCommonDialog();
    CommonDialog1->showOpen();
    const QString path = CommonDialog1->chosenPath();
    if (path.isEmpty())
        return;
    const auto controls = configurationControls();
    const persistence::LineFileContent content = readValuesFor(path, controls);
    if (!content.error.isEmpty()) {
        messages_.showMessage(
            QStringLiteral("The configuration \"%1\" could not be loaded: %2. Nothing was changed.")
                .arg(path, content.error));
        return;
    }
    PlaySound();
    for (std::size_t field = 0; field < controls.size(); ++field)
        assign(controls[field], content.values[field]);
    setChannelFrequenciesFromSliders();
    setChannelVolumesFromSliders();
}

void MainWindow::readStartupSettings() {
    startupSettingsRead_ = true;
    const persistence::StartupSettingsLocation location(programFolder_, userSettingsFolder_);
    const std::filesystem::path file = location.fileToRead();
    if (file.empty())
        return;
    const auto mix = configurationControls();
    std::vector<QWidget*> controls(mix.begin(), mix.end());
    controls.push_back(Check6);
    const persistence::LineFileContent content = readValuesFor(shownPath(file), controls);
    if (!content.error.isEmpty()) {
        const std::filesystem::path replacement = location.fileToWrite();
        const QString whenClosing =
            replacement == file
                ? QStringLiteral("the file will be replaced when Calmfield closes")
                : QStringLiteral("they will be saved to \"%1\" when Calmfield closes")
                      .arg(shownPath(replacement));
        std::filesystem::path copy = file;
        copy += ".damaged";
        const QString copyError = keepCopy(file, copy);
        const QString copyNote =
            copyError.isEmpty()
                ? QStringLiteral("A copy of the file is kept as \"%1\".").arg(shownPath(copy))
                : QStringLiteral("The file could not be copied to \"%1\" (%2).")
                      .arg(shownPath(copy), copyError);
        messages_.showMessage(QStringLiteral("Calmfield could not use its settings in \"%1\": "
                                             "%2. It starts with its usual settings, and %3. %4")
                                  .arg(shownPath(file), content.error, whenClosing, copyNote));
        return;
    }
    // "Start in system tray" first; it has no handler of its own.
    Check6->setValue(content.values.back());
    for (std::size_t field = 0; field < mix.size(); ++field)
        assign(controls[field], content.values[field]);
    setChannelFrequenciesFromSliders();
}

void MainWindow::writeStartupSettings() {
    const persistence::StartupSettingsLocation location(programFolder_, userSettingsFolder_);
    // Settings that were never read hold only the window's starting values: they must not take
    // the place of the user's own.
    if (!startupSettingsRead_ && !location.fileToRead().empty())
        return;
    const std::filesystem::path file = location.fileToWrite();
    std::vector<std::int16_t> values = valuesOf(configurationControls());
    values.push_back(static_cast<std::int16_t>(Check6->value()));
    const QString error = writeSettingsFile(file, values);
    if (!error.isEmpty()) {
        messages_.showMessage(QStringLiteral("Calmfield could not save its settings to \"%1\": "
                                             "%2. Next time it will not start with this mix.")
                                  .arg(shownPath(file), error));
    }
}

void MainWindow::setChannelFrequenciesFromSliders() {
    const auto sliders = frequencySliders();
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (engine::NoiseChannel* channel = bank_.channel(colour))
            channel->SetFrequency(sliders[static_cast<std::size_t>(colour)]->value());
    }
}

void MainWindow::setChannelVolumesFromSliders() {
    const auto sliders = volumeSliders();
    for (int colour = 0; colour < engine::kColourCount; ++colour) {
        if (engine::NoiseChannel* channel = bank_.channel(colour))
            channel->SetVolume(sliders[static_cast<std::size_t>(colour)]->value());
    }
}

} // namespace calmfield::shell
