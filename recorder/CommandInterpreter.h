#pragma once

#include "recorder/CaptureElement.h"
#include "recorder/CommandStrings.h"
#include "sound/CaptureDevice.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace calmfield::recorder {

// The program's one command interpreter. It knows its elements by their aliases, so every window
// reaches an element by its alias alone. Commands (keywords and aliases in any letter case):
//   open new type waveaudio alias A      status A mode | length
//   seek A to start | end                set A samplespersec N | bitspersample 8 | channels 1|2
//   record A    stop A    close A        set A time format bytes | milliseconds
//   play A [from N]                      save A PATH (the rest of the line, blanks included)
// Lengths and positions are in the element's time format, milliseconds until it is set. A PATH
// starting with "c:\" is taken in the home folder, and refused when its ".." steps lead out of
// it. A command that fails changes nothing.
class CommandInterpreter final : public CommandStrings {
  public:
    using DeviceMaker = std::function<std::unique_ptr<sound::CaptureDevice>()>;

    // Takes are spooled in `spoolFolder`, the system's temporary folder when empty.
    CommandInterpreter(DeviceMaker makeDevice, std::filesystem::path homeFolder,
                       std::filesystem::path spoolFolder = {},
                       std::uint64_t takeLimit = CaptureElement::kWaveDataLimit);
    ~CommandInterpreter() override;

    CommandReply send(std::string_view command) override;

  private:
    enum class TimeFormat { Milliseconds, Bytes };
    struct Element {
        std::unique_ptr<CaptureElement> element;
        TimeFormat timeFormat = TimeFormat::Milliseconds;
    };
    class Command;

    CommandReply open(Command& command);
    CommandReply seek(Element& element, Command& command);
    CommandReply set(Element& element, Command& command);
    CommandReply play(Element& element, Command& command);
    CommandReply status(Element& element, Command& command);
    CommandReply noSuchAlias(const std::string& alias) const;

    std::uint64_t toBytes(const Element& element, std::uint64_t length) const;
    std::uint64_t fromBytes(const Element& element, std::uint64_t bytes) const;

    DeviceMaker makeDevice_;
    const std::filesystem::path homeFolder_;
    const std::filesystem::path spoolFolder_;
    const std::uint64_t takeLimit_;
    // Keyed by the alias in lower case.
    std::map<std::string, Element> elements_;
    // Why the last open of an alias that does not exist failed.
    std::map<std::string, std::string> openFailures_;
};

} // namespace calmfield::recorder
