#include "DesktopUser.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

using DesktopUser::userId;
// Outlives the test: nobody's own folders, which root's temporary folders would not be.
constexpr const char* homes = "/tmp/nimbrel-desktop-user";

// A folder of nobody's own, made now if it is not there.
bool nobodysFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) == 0 && chown(path.c_str(), userId, userId) != 0)
        return false;
    struct stat made {
    };
    return lstat(path.c_str(), &made) == 0 && S_ISDIR(made.st_mode) && made.st_uid == userId;
}

// This process's own command line, read before Qt sees it.
std::vector<std::string> ownArguments()
{
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string all{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\0', start);
        arguments.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return arguments;
}

} // namespace

bool DesktopUser::dropsRoot()
{
    return geteuid() == 0 && !std::getenv("NIMBREL_TESTS_AS_ROOT");
}

void DesktopUser::becomeUnprivileged()
{
    if (!dropsRoot())
        return;
    // Run by its full path: nobody's PATH and working folder may not lead back to it.
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    const std::filesystem::path program(std::string(self, std::size_t(length)));
    // Each test program a home of its own, empty at each run: tests running side by side, or
    // a run before, leave nothing behind for it to find.
    const std::string home = std::string(homes) + "/" + program.filename().string();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    if (!nobodysFolder(homes) || !nobodysFolder(home)) {
        std::fprintf(stderr, "desktop test: %s is not nobody's folder; running as root\n",
                     home.c_str());
        return;
    }
    setenv("HOME", home.c_str(), 1);
    // nobody's login shell refuses to run: a terminal the test starts would close at once.
    setenv("SHELL", "/bin/sh", 1);
    // Root's, which nobody cannot use; each session makes its own, or the home holds them.
    for (const char* rootsOwn : {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                                 "XDG_CACHE_HOME", "XDG_STATE_HOME", "DBUS_SESSION_BUS_ADDRESS"})
        unsetenv(rootsOwn);
    std::vector<std::string> arguments{"setpriv", "--reuid=" + std::to_string(userId),
                                       "--regid=" + std::to_string(userId), "--clear-groups", "--"};
    const std::vector<std::string> own = ownArguments();
    if (own.empty())
        return;
    arguments.push_back(program.string());
    arguments.insert(arguments.end(), own.begin() + 1, own.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    execvp("setpriv", argv.data());
    // Without setpriv the test runs on as root, saying so.
    std::fprintf(stderr, "desktop test: cannot run as nobody (%s); running as root\n",
                 std::strerror(errno));
}
