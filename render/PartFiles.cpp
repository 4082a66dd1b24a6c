#include "render/PartFiles.h"

#include <unistd.h>

#include <charconv>
#include <string>
#include <string_view>
#include <system_error>

namespace calmfield::render {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSuffix = ".part";

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process of a part file named for `target`, or 0 when the name is not one of ours.
pid_t writerOf(std::string_view name, const fs::path& target) {
    const std::string prefix = "." + target.filename().string() + ".";
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix))
        return 0;
    name.remove_prefix(prefix.size());
    name.remove_suffix(kSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1)))
        return 0;
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + dash, pid);
    return error == std::errc() && end == name.data() + dash ? pid : 0;
}

// The file name of the program a process runs: empty when the process is gone, "?" when it
// cannot be told (another user's process, or no /proc).
std::string programOf(const fs::path& processFolder) {
    std::error_code error;
    std::string program = fs::read_symlink(processFolder / "exe", error).filename().string();
    if (error)
        return error == std::errc::no_such_file_or_directory ? "" : "?";
    // An upgraded program still runs from the file it was started from.
    constexpr std::string_view kDeleted = " (deleted)";
    if (program.ends_with(kDeleted))
        program.resize(program.size() - kDeleted.size());
    return program;
}

bool isRunningCopy(pid_t pid) {
    if (pid == ::getpid())
        return true;
    const std::string ours = programOf("/proc/self");
    if (ours.empty() || ours == "?")
        return true;
    const std::string theirs = programOf("/proc/" + std::to_string(pid));
    return theirs == "?" || theirs == ours;
}

} // namespace

fs::path partFileName(const fs::path& target, pid_t pid, int attempt) {
    return folderOf(target) / ("." + target.filename().string() + "." + std::to_string(pid) + "-" +
                               std::to_string(attempt) + std::string(kSuffix));
}

void removeStalePartFiles(const fs::path& target) {
    std::error_code error;
    for (fs::directory_iterator entry(folderOf(target), error), end; !error && entry != end;
         entry.increment(error)) {
        const pid_t pid = writerOf(entry->path().filename().string(), target);
        std::error_code ignored;
        if (pid > 0 && !entry->is_symlink(ignored) && entry->is_regular_file(ignored) &&
            !isRunningCopy(pid))
            fs::remove(entry->path(), ignored);
    }
}

} // namespace calmfield::render
