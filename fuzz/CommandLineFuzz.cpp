// Any bytes as a command line, arguments separated by NUL bytes: reading it
// never throws, an exit always says something where it should, and what it
// accepts is a usable set of options.
#include "app/CommandLine.h"
#include "platform/SettingsFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i)
    {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    const CommandLine result = readCommandLine(arguments);
    switch (result.action)
    {
    case CommandLine::Action::Exit:
        if (result.exitCode == 0 ? result.out.empty() || !result.err.empty()
                                 : result.exitCode != CommandLineErrorExit || result.err.empty())
            std::abort();
        break;
    case CommandLine::Action::Export:
        if (result.options.exportMap.empty() || result.options.exportPicture.empty() || !result.options.mapFile.empty())
            std::abort();
        break;
    case CommandLine::Action::ExportTiled:
        if (result.options.tiledMap.empty() || result.options.tiledFile.empty() || !result.options.mapFile.empty() ||
            !result.options.exportMap.empty() || !result.options.importFile.empty())
            std::abort();
        break;
    case CommandLine::Action::ImportTiled:
        if (result.options.importFile.empty() || result.options.importMap.empty() || !result.options.mapFile.empty() ||
            !result.options.tiledMap.empty() || result.options.tiledEncoding != "csv")
            std::abort();
        break;
    case CommandLine::Action::Play:
        if (!std::isfinite(result.options.autosaveSeconds) || result.options.autosaveSeconds < 0 ||
            !honouredAutosave(result.options.autosaveSeconds) ||
            !result.options.exportMap.empty() || !result.options.tiledMap.empty() || !result.options.importFile.empty())
            std::abort();
        break;
    }
    return 0;
}
