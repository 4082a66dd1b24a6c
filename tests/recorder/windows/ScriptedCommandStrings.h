#pragma once

#include "recorder/CommandStrings.h"

#include <algorithm>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A command interpreter that keeps every command text it is sent and answers the two status
// queries with `mode` and `length`. While `failure` is set, every command fails for that reason.
class ScriptedCommandStrings final : public recorder::CommandStrings {
  public:
    recorder::CommandReply send(std::string_view command) override {
        sent.emplace_back(command);
        if (!failure.empty())
            return {1, {}, failure};
        if (command == "status capture mode")
            return {0, mode, {}};
        if (command == "status capture length")
            return {0, length, {}};
        return {};
    }

    // The commands sent, without those of the recorder window's polls.
    std::vector<std::string> actions() const {
        std::vector<std::string> kept;
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(kept), [](const auto& command) {
            return command != "status capture mode" && command != "status capture length" &&
                   command != "set capture time format bytes";
        });
        return kept;
    }

    long count(const std::string& command) const {
        return std::count(sent.begin(), sent.end(), command);
    }

    std::vector<std::string> sent;
    std::string mode = "stopped";
    std::string length = "0";
    std::string failure;
};

} // namespace calmfield::testsupport
