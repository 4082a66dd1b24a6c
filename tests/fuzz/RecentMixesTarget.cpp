// The list of recent mixes as the program finds it at every start, whatever an editor, a
// synchronising tool or a crash left there.

#include "persistence/RecentMixList.h"
#include "tests/fuzz/MixChecks.h"

#include <QFile>
#include <QSet>

#include <fstream>
#include <iterator>

using namespace calmfield;
using namespace calmfield::fuzzing;
using persistence::RecentMixList;

namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFolder folder;
    const QString file = qtPath(folder.write("recent-mixes", data, size));
    const RecentMixList list = persistence::readRecentMixes(file);
    require(list.paths().size() <= RecentMixList::kLongest, "the list holds at most eight mixes");
    require(QSet<QString>(list.paths().begin(), list.paths().end()).size() == list.paths().size(),
            "no mix is listed twice");
    for (const QString& path : list.paths()) {
        const QByteArray bytes = QFile::encodeName(path);
        require(bytes.startsWith('/') && bytes.size() <= RecentMixList::kLongestPath &&
                    !bytes.contains('\0'),
                "every mix listed is named by an absolute path the system can open");
    }

    const auto written = folder.path() / "written";
    require(persistence::writeRecentMixes(qtPath(written), list).ok(), "the list is written");
    require(persistence::readRecentMixes(qtPath(written)) == list,
            "a list read, written and read again keeps its mixes in their order");
    // The list has one way of being written, so a list read whole is written as it was.
    if (!list.isEmpty())
        require(contentOf(written) == std::string(reinterpret_cast<const char*>(data), size),
                "a list read is written again byte for byte");
    return 0;
}
