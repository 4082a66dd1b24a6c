#pragma once

#include <string>
#include <string_view>

namespace calmfield::recorder {

// What one command text gave back.
struct CommandReply {
    // 0 on success, a number of its own for each kind of failure otherwise.
    int code = 0;
    // The answer of a status query; empty for every other command and for a failure.
    std::string reply;
    // Why the command failed, as a short phrase in the program's words ("the folder does not
    // exist"); empty on success.
    std::string reason;

    bool succeeded() const { return code == 0; }
};

// Takes one line of command text at a time and carries it out on the sound element it names by
// its alias ("record capture", "status capture mode"). Everything the recorder does to sound goes
// through here.
class CommandStrings {
  public:
    virtual ~CommandStrings() = default;

    virtual CommandReply send(std::string_view command) = 0;
};

} // namespace calmfield::recorder
