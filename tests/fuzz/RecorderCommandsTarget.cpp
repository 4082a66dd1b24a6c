// The recorder's command interpreter fed a sequence of command texts, one a line, against a
// sound server in the target's hands. A line starting with a control byte steers the server
// instead: 1 captures the rest of the line's bytes, 2 plays out what the playback has, 3 takes
// the server away and 4 brings it back. Saved takes stay in the target's own folder.

#include "recorder/CommandInterpreter.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/recorder/FakeCaptureDevice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace calmfield;
using namespace calmfield::fuzzing;

namespace {

constexpr std::uint64_t kTakeLimit = 1 << 20;
constexpr std::size_t kMostAliasesWatched = 4;

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : line) {
        if (c == ' ' || c == '\t') {
            if (!word.empty())
                words.push_back(lowerCase(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(lowerCase(word));
    return words;
}

// Where the text after the first `count` words and the one blank after them starts.
std::size_t afterWords(std::string_view line, int count) {
    std::size_t at = 0;
    for (int word = 0; word < count; ++word) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
    }
    return at;
}

// A save keeps its path only when it lands in the home folder and stays there; any other goes
// to a file in the scratch folder, or in a folder that does not exist.
std::string confinedSave(std::string_view line, const std::filesystem::path& scratch) {
    const std::size_t aliasEnd = afterWords(line, 2);
    const std::string_view path = aliasEnd < line.size() ? line.substr(aliasEnd + 1) : "";
    if (path.size() > 3 && lowerCase(path.substr(0, 3)) == "c:\\" &&
        path.find("..") == std::string_view::npos && path.find('/') == std::string_view::npos)
        return std::string(line);
    const auto target = path.size() % 2 == 0 ? scratch / "take.wav" : scratch / "none" / "take.wav";
    return std::string(line.substr(0, aliasEnd)) + " " + target.string();
}

bool isDocumentedCode(int code) {
    static const std::set<int> codes{recorder::kSucceeded,          recorder::kUnknownCommand,
                                     recorder::kNoSuchAlias,        recorder::kMalformedCommand,
                                     recorder::kUnsupportedSetting, recorder::kDeviceNotReady,
                                     recorder::kDeviceBusy,         recorder::kAliasInUse,
                                     recorder::kFileNotSaved,       recorder::kSpoolFailure};
    return codes.contains(code);
}

bool isNumber(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// Whether the decimal number `a` is greater than `b`, however long either is.
bool isGreater(std::string a, std::string b) {
    a.erase(0, std::min(a.find_first_not_of('0'), a.size()));
    b.erase(0, std::min(b.find_first_not_of('0'), b.size()));
    return a.size() != b.size() ? a.size() > b.size() : a > b;
}

// What the interpreter tells of each alias watched: the codes and answers of its status queries.
using Snapshot = std::vector<std::pair<int, std::string>>;

Snapshot snapshot(recorder::CommandInterpreter& commands, const std::vector<std::string>& aliases) {
    Snapshot seen;
    for (const auto& alias : aliases) {
        for (const char* item : {" mode", " length"}) {
            const auto reply = commands.send("status " + alias + item);
            seen.emplace_back(reply.code, reply.reply);
        }
    }
    return seen;
}

void requireDocumentedReply(const recorder::CommandReply& reply,
                            const std::vector<std::string>& words) {
    require(isDocumentedCode(reply.code), "every reply has one of the documented codes");
    require(reply.succeeded() == reply.reason.empty(), "a reason comes with every failure only");
    const bool status = !words.empty() && words[0] == "status";
    require(reply.reply.empty() || (reply.succeeded() && status),
            "only a status query answers with text");
    if (!status || !reply.succeeded())
        return;
    static const std::set<std::string> modes{"recording", "playing", "stopped", "not ready"};
    require(words.size() == 3 &&
                (words[2] == "mode" ? modes.contains(reply.reply) : isNumber(reply.reply)),
            "a status answer is a mode or a number");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const std::filesystem::path home = folder.path() / "home";
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(home);

    testsupport::FakeCaptureDevice::Server server;
    recorder::CommandInterpreter commands(
        [&server] { return std::make_unique<testsupport::FakeCaptureDevice>(server); }, home,
        folder.path(), kTakeLimit);
    std::vector<std::string> watched;

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start < input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view line = input.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line[0] >= 1 && line[0] <= 4) {
            switch (line[0]) {
            case 1: {
                std::vector<std::uint8_t> bytes;
                for (int times = 0; times < 64; ++times)
                    bytes.insert(bytes.end(), line.begin() + 1, line.end());
                server.capture(bytes);
                break;
            }
            case 2:
                server.playToEnd();
                break;
            case 3:
                server.goAway();
                break;
            default:
                server.reachable = true;
            }
            continue;
        }

        const std::vector<std::string> words = wordsOf(line);
        if (words.size() == 6 && words[0] == "open" && watched.size() < kMostAliasesWatched &&
            std::find(watched.begin(), watched.end(), words[5]) == watched.end())
            watched.push_back(words[5]);
        const std::string command =
            words.size() >= 2 && words[0] == "save" ? confinedSave(line, home) : std::string(line);

        const Snapshot before = snapshot(commands, watched);
        const bool playFrom = words.size() == 4 && words[0] == "play" && words[2] == "from";
        const auto length = playFrom ? commands.send("status " + words[1] + " length").reply : "";
        const recorder::CommandReply reply = commands.send(command);
        requireDocumentedReply(reply, words);
        if (!reply.succeeded())
            require(snapshot(commands, watched) == before, "a command that fails changes nothing");
        if (playFrom && reply.succeeded() && isNumber(words[3]) && isNumber(length) &&
            isGreater(words[3], length))
            require(server.playToEnd().empty(), "a take played from past its end plays nothing");
    }
    return 0;
}
