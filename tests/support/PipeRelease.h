#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>

namespace calmfield::testsupport {

// Runs `call` on a thread of its own and gives its result. A call still busy after `patience`
// fails the test: it is taken to be opening the pipe at `pipe` and waiting for a writer, so the
// pipe is opened for writing once, which lets the call go on rather than hang the test.
template <class Call>
auto callThatMustNotWaitOnPipe(const std::filesystem::path& pipe, Call call,
                               std::chrono::seconds patience = std::chrono::seconds(5)) {
    auto result = std::async(std::launch::async, std::move(call));
    if (result.wait_for(patience) != std::future_status::ready) {
        ADD_FAILURE() << "still waiting on the pipe " << pipe << " after " << patience.count()
                      << " s";
        ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
    }
    return result.get();
}

} // namespace calmfield::testsupport
