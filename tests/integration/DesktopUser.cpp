#include "DesktopUser.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr uid_t userId = 65534; // nobody, as Debian numbers it
// Outlives the test: nobody's own folder, which root's temporary folders would not be.
constexpr const char* home = "/tmp/nimbrel-desktop-user";

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

void DesktopUser::becomeUnprivileged()
{
    if (geteuid() != 0 || std::getenv("NIMBREL_TESTS_AS_ROOT"))
        return;
    // Made by an earlier run, or now; only a folder of nobody's own will do.
    if (mkdir(home, 0700) == 0 && chown(home, userId, userId) != 0)
        return std::perror("desktop test: cannot hand nobody its home");
    struct stat made {
    };
    if (lstat(home, &made) != 0 || !S_ISDIR(made.st_mode) || made.st_uid != userId) {
        std::fprintf(stderr, "desktop test: %s is not nobody's folder; running as root\n", home);
        return;
    }
    setenv("HOME", home, 1);
    // Root's, which nobody cannot use; each session makes its own.
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    std::vector<std::string> arguments{"setpriv", "--reuid=" + std::to_string(userId),
                                       "--regid=" + std::to_string(userId), "--clear-groups", "--"};
    const std::vector<std::string> own = ownArguments();
    if (own.empty())
        return;
    // Run by its full path: nobody's PATH and working folder may not lead back to it.
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return;
    arguments.emplace_back(self, std::size_t(length));
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
