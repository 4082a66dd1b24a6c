#include "persistence/Mix.h"

#include "persistence/DriftLine.h"
#include "persistence/LineFile.h"

#include <vector>

namespace calmfield::persistence {
namespace {

using Control = FieldRange::Control;
constexpr FieldRange kToggleRange{Control::checkBox, kOff, kGreyed};
constexpr FieldRange kVolumeRange{Control::slider, Mix::kQuietest, Mix::kLoudest};
constexpr FieldRange kFrequencyRange{Control::slider, Mix::kLowestFrequency,
                                     Mix::kHighestFrequency};

// The fields in their file order, each with the range of its control.
struct Fields {
    std::vector<std::int16_t> values;
    std::vector<FieldRange> ranges;

    void add(int value, const FieldRange& range) {
        values.push_back(static_cast<std::int16_t>(value));
        ranges.push_back(range);
    }
};

Fields fieldsOf(const Settings& settings, std::size_t count) {
    Fields fields;
    for (const int toggle : settings.mix.toggles)
        fields.add(toggle, kToggleRange);
    for (const int volume : settings.mix.volumes)
        fields.add(volume, kVolumeRange);
    for (const int frequency : settings.mix.frequencies)
        fields.add(frequency, kFrequencyRange);
    fields.add(settings.startInTray, kToggleRange);
    fields.values.resize(count);
    fields.ranges.resize(count);
    return fields;
}

// A configuration's text after its fields may give it a drift; the startup settings file's never
// does.
files::Result<Settings, QString> read(const QString& path, std::size_t count) {
    const Fields fields = fieldsOf({}, count);
    const auto content = readLineFileAndRest(path, fields.ranges);
    if (!content.ok())
        return files::failure(content.reason());
    const std::vector<std::int16_t>& values = content.value().values;
    Settings settings;
    if (count == Mix::kFieldCount) {
        const auto drift = readDriftLine(content.value().rest);
        if (!drift.ok())
            return files::failure(QString::fromStdString(drift.reason()));
        settings.mix.drift = drift.value().value_or(engine::DriftSetting{});
    }
    auto field = values.begin();
    for (Mix::PerColour* part :
         {&settings.mix.toggles, &settings.mix.volumes, &settings.mix.frequencies}) {
        for (int& value : *part)
            value = *field++;
    }
    if (field != values.end())
        settings.startInTray = *field;
    return settings;
}

} // namespace

files::Result<Mix, QString> readMix(const QString& path) {
    const auto whole = read(path, Mix::kFieldCount);
    if (!whole.ok())
        return files::failure(whole.reason());
    return whole.value().mix;
}

files::Result<Settings, QString> readSettings(const QString& path) {
    return read(path, Settings::kFieldCount);
}

files::Result<files::Done, QString> writeMix(const QString& path, const Mix& mix) {
    return writeLineFile(path, fieldsOf({mix}, Mix::kFieldCount).values,
                         mix.drift.on ? formatDriftLine(mix.drift) : std::string());
}

files::Result<files::Done, QString> writeSettings(const QString& path, const Settings& settings) {
    return writeLineFile(path, fieldsOf(settings, Settings::kFieldCount).values);
}

} // namespace calmfield::persistence
