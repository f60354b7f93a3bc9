// Loaded with LD_PRELOAD into a program under test: counts the engine's steps on the database file and
// its journal (writes, syncs, truncations, the journal's removal) and kills the process with SIGKILL
// just before the step numbered ROSTERPAD_KILL_AT, once ROSTERPAD_KILL_ARMED is "1". A kill there is a
// crash at that exact point of a commit; the page cache keeps what was written before, as the disk
// would after a crash of the program alone.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::atomic<int> steps{0};

bool isWatchedName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    const char *base = slash ? slash + 1 : path;
    return std::strcmp(base, "rosterpad.mdb") == 0 || std::strcmp(base, "rosterpad.mdb-journal") == 0;
}

bool isWatched(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return isWatchedName(target);
}

void step()
{
    const char *armed = std::getenv("ROSTERPAD_KILL_ARMED");
    if (!armed || std::strcmp(armed, "1") != 0)
        return;
    const char *at = std::getenv("ROSTERPAD_KILL_AT");
    const int n = at ? std::atoi(at) : 0;
    if (++steps == n)
        kill(getpid(), SIGKILL);
}

template<typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

ssize_t pwrite64(int fd, const void *buf, size_t count, off64_t offset)
{
    static auto next = real<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64");
    if (isWatched(fd))
        step();
    return next(fd, buf, count, offset);
}

ssize_t write(int fd, const void *buf, size_t count)
{
    static auto next = real<ssize_t (*)(int, const void *, size_t)>("write");
    if (fd > 2 && isWatched(fd))
        step();
    return next(fd, buf, count);
}

int fdatasync(int fd)
{
    static auto next = real<int (*)(int)>("fdatasync");
    if (isWatched(fd))
        step();
    return next(fd);
}

int fsync(int fd)
{
    static auto next = real<int (*)(int)>("fsync");
    if (isWatched(fd))
        step();
    return next(fd);
}

int ftruncate64(int fd, off64_t length)
{
    static auto next = real<int (*)(int, off64_t)>("ftruncate64");
    if (isWatched(fd))
        step();
    return next(fd, length);
}

int unlink(const char *path)
{
    static auto next = real<int (*)(const char *)>("unlink");
    if (path && isWatchedName(path))
        step();
    return next(path);
}

// How many steps the armed process has taken; read by the program itself when it is not killed.
int rosterpad_killshim_steps() { return steps.load(); }

} // extern "C"
