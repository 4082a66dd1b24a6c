#pragma once

#include "recorder/CommandStrings.h"

#include <filesystem>

namespace calmfield::session {
class MessageSink;
}

namespace calmfield::recorder {

// What the recorder's windows reach the world through.
struct RecorderServices {
    // The program's one command interpreter, which knows the capture element by its alias.
    CommandStrings& commands;
    // Where the save-name dialog tells the user what became of a take, and asks before replacing
    // a file.
    session::MessageSink& messages;
    // The user's home folder, where takes are saved: it stands in for the root of drive C.
    std::filesystem::path homeFolder;
};

} // namespace calmfield::recorder
