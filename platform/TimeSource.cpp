#include "platform/TimeSource.h"

namespace
{
class SystemTimeSource : public TimeSource
{
public:
    sf::Time now() const override { return clock.getElapsedTime(); }

private:
    sf::Clock clock;
};
} // namespace

const TimeSource& TimeSource::system()
{
    static const SystemTimeSource source;
    return source;
}

Stopwatch::Stopwatch(const TimeSource& source) : source(&source), started(source.now()) {}

sf::Time Stopwatch::getElapsedTime() const
{
    return source->now() - started;
}

sf::Time Stopwatch::restart()
{
    const sf::Time now = source->now();
    const sf::Time elapsed = now - started;
    started = now;
    return elapsed;
}
