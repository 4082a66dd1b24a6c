// Stands in for the sound file library's opening of a file when loaded into the program with
// LD_PRELOAD: it never returns, as a decoder going round in a damaged file would not. It first
// creates the file named by CALMFIELD_TEST_STUCK, so that a test knows the program is stuck.

#include <sndfile.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

extern "C" SNDFILE* sf_open_virtual(SF_VIRTUAL_IO*, int, SF_INFO*, void*) {
    if (const char* stuck = std::getenv("CALMFIELD_TEST_STUCK"))
        ::close(::open(stuck, O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
    for (;;)
        ::pause();
}
