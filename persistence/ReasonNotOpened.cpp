#include "persistence/ReasonNotOpened.h"

namespace calmfield::persistence {

const char* reasonNotOpened(files::RegularFile::Failure failure) {
    switch (failure) {
    case files::RegularFile::Failure::none:
        return "";
    case files::RegularFile::Failure::missing:
        return "there is no such file";
    case files::RegularFile::Failure::folder:
        return "it is a folder";
    case files::RegularFile::Failure::notRegular:
        return "it is not a regular file";
    case files::RegularFile::Failure::notAllowed:
        return "you are not allowed to read it";
    case files::RegularFile::Failure::unreadable:
        break;
    }
    return "it cannot be read";
}

} // namespace calmfield::persistence
