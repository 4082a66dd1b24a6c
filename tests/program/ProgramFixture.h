#pragma once

#include "tests/support/ChildProcess.h"
#include "tests/support/PrivatePulseServer.h"
#include "tests/support/ProgramCopy.h"
#include "tests/support/ServerTools.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace calmfield::testsupport {

// A test of the built program: a private sound server, running before the test begins, and a
// copy of the program of the test's own in a scratch folder named for its suite, removed after
// it. The name stays short, so that the runtime folder inside it can hold a socket.
class ProgramFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server.start()) << server.error(); }
    ~ProgramFixture() override { std::filesystem::remove_all(root); }

    std::string program() const { return (folder / "calmfield").string(); }
    // The program's environment with a window system, over the private server.
    std::vector<std::string> environment() const { return environmentFor(server, root); }

    PrivatePulseServer server;
    const std::filesystem::path root = scratchFolder();
    const std::filesystem::path folder = programFolderIn(root);

  private:
    static std::filesystem::path scratchFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::filesystem::temp_directory_path() /
               ("calmfield-" + std::string(test->test_suite_name()) + "-" +
                std::to_string(::getpid()));
    }
};

} // namespace calmfield::testsupport
