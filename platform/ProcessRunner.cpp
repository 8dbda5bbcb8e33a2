#include "platform/ProcessRunner.h"

#ifndef _WIN32
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#ifdef _WIN32

ProgramRun runProgram(const std::string&, const std::vector<std::string>&, std::size_t)
{
    return {};
}

std::string findProgram(const std::string&, const std::string&)
{
    return {};
}

#else

namespace
{
// Closes a descriptor once, on every way out.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd; }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

private:
    int fd;
};

bool isExecutableFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}
} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::size_t maxOutputBytes)
{
    ProgramRun run;
    int ends[2];
    // Close-on-exec, so the pipe reaches the child only as its stdout.
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return run;
    FileDescriptor readEnd(ends[0]);
    FileDescriptor writeEnd(ends[1]);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return run;
    bool ready = posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
                 posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO) == 0 &&
                 posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0;

    std::vector<std::string> argvStrings;
    argvStrings.reserve(arguments.size() + 1);
    argvStrings.push_back(program);
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argvStrings)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = -1;
    if (ready)
        ready = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!ready)
        return run;
    run.started = true;

    // Our copy of the write end must go, or the read below never sees the end.
    writeEnd.reset();
    char buffer[4096];
    for (;;)
    {
        const ssize_t count = ::read(readEnd.get(), buffer, sizeof buffer);
        if (count > 0)
        {
            const std::size_t room = maxOutputBytes - run.output.size();
            run.output.append(buffer, std::min(room, static_cast<std::size_t>(count)));
            if (static_cast<std::size_t>(count) > room)
            {
                run.outputCut = true;
                break;
            }
        }
        else if (count == 0 || errno != EINTR)
            break;
    }
    // A program that will not stop writing would hold us here for ever. It is
    // not reaped yet, so its pid is still its own.
    if (run.outputCut)
        ::kill(child, SIGKILL);
    readEnd.reset();

    int status = 0;
    pid_t waited;
    do
        waited = ::waitpid(child, &status, 0);
    while (waited < 0 && errno == EINTR);
    if (waited == child && WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    return run;
}

std::string findProgram(const std::string& name, const std::string& searchPath)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = searchPath.find(':', start);
        std::string folder = searchPath.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty())
            folder = ".";
        const std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

#endif
