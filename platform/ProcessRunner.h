#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What became of a program run by runProgram.
struct ProgramRun
{
    bool started = false;    // false: the program could not be started at all
    int exitStatus = -1;     // its exit status; -1 when it was killed by a signal or never ran
    std::string output;      // what it wrote to its standard output, up to the limit
    bool outputCut = false;  // it wrote more than the limit and was killed for it
};

// Runs the program at `program` (a path; no PATH search) with `arguments` as
// its argv[1..], directly and without a shell, so no argument is ever
// interpreted as a command. Its standard input is /dev/null, its standard
// output is collected through a pipe, its standard error goes to /dev/null.
// Blocks until the program has ended. A program that writes more than
// `maxOutputBytes` is not waited for: reading stops, it is killed and reaped,
// and `outputCut` says so (`output` then holds the first `maxOutputBytes`).
// Only on POSIX systems; elsewhere it reports that nothing was started.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::size_t maxOutputBytes);

// The full path of the executable file `name` in the first folder of
// `searchPath` (a PATH value: folders separated by ':') that has one, or an
// empty string. An empty folder entry stands for the working directory, as in
// PATH itself.
std::string findProgram(const std::string& name, const std::string& searchPath);
