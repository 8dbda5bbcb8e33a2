#include "platform/ShutdownSignals.h"

#include <atomic>

#ifdef _WIN32
#include "platform/WindowsApi.h"
#else
#include <csignal>
#endif

namespace
{
// Lock-free, so the signal handler may set it.
std::atomic<bool> requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

#ifdef _WIN32
constexpr DWORD FinishWaitMs = 4000; // milliseconds; the system allows about five for a close event
HANDLE finishedEvent = nullptr;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (requested.exchange(true))
        return FALSE; // the second request: the default handler ends the process
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    {
        // Returning ends the process: first let the frame loop keep the map.
        if (finishedEvent)
            WaitForSingleObject(finishedEvent, FinishWaitMs);
    }
    return TRUE;
}
#else
void onShutdownSignal(int)
{
    requested.store(true);
}
#endif
} // namespace

void installShutdownHandlers()
{
#ifdef _WIN32
    if (!finishedEvent)
        finishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    struct sigaction action = {};
    action.sa_handler = onShutdownSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESETHAND: the next signal takes the default action and ends the
    // program. SA_RESTART: calls it interrupts go on as if nothing happened.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#endif
}

bool shutdownRequested()
{
    return requested.load();
}

void shutdownFinished()
{
#ifdef _WIN32
    if (finishedEvent)
        SetEvent(finishedEvent);
#endif
}
