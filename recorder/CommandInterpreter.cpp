#include "recorder/CommandInterpreter.h"

#include "recorder/HostPath.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>
#include <vector>

namespace calmfield::recorder {
namespace {

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::optional<long> number(std::string_view text) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

CommandReply failed(CommandCode code, std::string reason) {
    return {code, {}, std::move(reason)};
}

CommandReply malformed() {
    return failed(kMalformedCommand, "the command is incomplete or has words it does not take");
}

CommandReply answer(std::string reply) {
    return {kSucceeded, std::move(reply), {}};
}

} // namespace

// One command line split into its words; the words after the alias can also be taken whole.
class CommandInterpreter::Command {
  public:
    explicit Command(std::string_view text) : text_(text) {
        for (std::size_t at = 0; at < text.size();) {
            while (at < text.size() && isBlank(text[at]))
                ++at;
            const std::size_t start = at;
            while (at < text.size() && !isBlank(text[at]))
                ++at;
            if (at > start)
                words_.push_back({start, at});
        }
    }

    std::size_t size() const { return words_.size(); }
    std::string_view word(std::size_t n) const {
        return n < words_.size() ? text_.substr(words_[n].first, words_[n].second - words_[n].first)
                                 : std::string_view();
    }
    // The word in lower case, for keywords and aliases.
    std::string keyword(std::size_t n) const { return lowerCase(word(n)); }
    // Everything after the one blank that follows word `n`.
    std::string_view restAfter(std::size_t n) const {
        if (n >= words_.size())
            return {};
        const std::size_t end = words_[n].second;
        return end < text_.size() ? text_.substr(end + 1) : std::string_view();
    }

  private:
    std::string_view text_;
    std::vector<std::pair<std::size_t, std::size_t>> words_;
};

CommandInterpreter::CommandInterpreter(DeviceMaker makeDevice, std::filesystem::path homeFolder,
                                       std::filesystem::path spoolFolder, std::uint64_t takeLimit)
    : makeDevice_(std::move(makeDevice)), homeFolder_(std::move(homeFolder)), spoolFolder_([&] {
          std::error_code error;
          if (!spoolFolder.empty())
              return spoolFolder;
          auto temporary = std::filesystem::temp_directory_path(error);
          return error ? std::filesystem::path("/tmp") : temporary;
      }()),
      takeLimit_(takeLimit) {}

CommandInterpreter::~CommandInterpreter() = default;

CommandReply CommandInterpreter::send(std::string_view text) {
    Command command(text);
    const std::string verb = command.keyword(0);
    if (verb == "open")
        return open(command);

    static const std::vector<std::string> verbs{"seek", "set",  "record", "stop",
                                                "play", "save", "close",  "status"};
    if (std::find(verbs.begin(), verbs.end(), verb) == verbs.end())
        return failed(kUnknownCommand, "the command is not known");
    if (command.size() < 2)
        return malformed();
    const std::string alias = command.keyword(1);
    const auto found = elements_.find(alias);
    if (found == elements_.end())
        return noSuchAlias(alias);
    Element& element = found->second;

    if (verb == "seek")
        return seek(element, command);
    if (verb == "set")
        return set(element, command);
    if (verb == "play")
        return play(element, command);
    if (verb == "status")
        return status(element, command);
    if (verb == "save") {
        const std::string_view path = command.restAfter(1);
        if (path.empty())
            return malformed();
        if (leavesHome(path, homeFolder_))
            return failed(kFileNotSaved, "the name leads out of the home folder");
        return element.element->save(hostPath(path, homeFolder_));
    }
    if (command.size() != 2)
        return malformed();
    if (verb == "record")
        return element.element->record();
    if (verb == "stop")
        return element.element->stop();
    // close
    elements_.erase(found);
    return {};
}

CommandReply CommandInterpreter::open(Command& command) {
    if (command.size() != 6 || command.keyword(1) != "new" || command.keyword(2) != "type" ||
        command.keyword(4) != "alias")
        return malformed();
    if (command.keyword(3) != "waveaudio")
        return failed(kUnknownCommand, "only waveaudio elements are known");
    const std::string alias = command.keyword(5);
    if (elements_.contains(alias))
        return failed(kAliasInUse, "the alias is in use");
    auto element = std::make_unique<CaptureElement>(makeDevice_(), spoolFolder_, takeLimit_);
    CommandReply opened = element->open();
    if (!opened.succeeded()) {
        openFailures_[alias] = opened.reason;
        return opened;
    }
    openFailures_.erase(alias);
    elements_[alias] = Element{std::move(element)};
    return opened;
}

CommandReply CommandInterpreter::seek(Element& element, Command& command) {
    if (command.size() != 4 || command.keyword(2) != "to")
        return malformed();
    if (command.keyword(3) == "start")
        return element.element->seekToStart();
    if (command.keyword(3) == "end")
        return element.element->seekToEnd();
    return malformed();
}

CommandReply CommandInterpreter::set(Element& element, Command& command) {
    const std::string item = command.keyword(2);
    if (item == "time" && command.size() == 5 && command.keyword(3) == "format") {
        const std::string format = command.keyword(4);
        if (format == "bytes")
            element.timeFormat = TimeFormat::Bytes;
        else if (format == "milliseconds" || format == "ms")
            element.timeFormat = TimeFormat::Milliseconds;
        else
            return failed(kUnsupportedSetting, "the time format is not known");
        return {};
    }
    if (command.size() != 4)
        return malformed();
    const std::optional<long> value = number(command.word(3));
    if (!value)
        return malformed();
    if (item == "samplespersec")
        return element.element->setSampleRate(*value);
    if (item == "bitspersample")
        return element.element->setBitsPerSample(*value);
    if (item == "channels")
        return element.element->setChannels(*value);
    return malformed();
}

CommandReply CommandInterpreter::play(Element& element, Command& command) {
    if (command.size() == 2)
        return element.element->play(0);
    if (command.size() != 4 || command.keyword(2) != "from")
        return malformed();
    const std::optional<long> from = number(command.word(3));
    if (!from || *from < 0)
        return malformed();
    return element.element->play(toBytes(element, static_cast<std::uint64_t>(*from)));
}

CommandReply CommandInterpreter::status(Element& element, Command& command) {
    if (command.size() != 3)
        return malformed();
    const std::string item = command.keyword(2);
    if (item == "mode")
        return answer(element.element->mode());
    if (item == "length")
        return answer(std::to_string(fromBytes(element, element.element->heldBytes())));
    return malformed();
}

CommandReply CommandInterpreter::noSuchAlias(const std::string& alias) const {
    const auto failure = openFailures_.find(alias);
    return failed(kNoSuchAlias,
                  failure != openFailures_.end() ? failure->second : "the recorder is not open");
}

std::uint64_t CommandInterpreter::toBytes(const Element& element, std::uint64_t length) const {
    if (element.timeFormat == TimeFormat::Bytes)
        return length;
    const std::uint64_t perSecond = element.element->takeFormat().bytesPerSecond();
    // A position far past any take stays past it rather than wrapping around into it.
    if (length > std::numeric_limits<std::uint64_t>::max() / perSecond)
        return std::numeric_limits<std::uint64_t>::max();
    return length * perSecond / 1000;
}

std::uint64_t CommandInterpreter::fromBytes(const Element& element, std::uint64_t bytes) const {
    if (element.timeFormat == TimeFormat::Bytes)
        return bytes;
    return bytes * 1000 / element.element->takeFormat().bytesPerSecond();
}

} // namespace calmfield::recorder
