#pragma once

#include <SFML/System/Clock.hpp>
#include <SFML/System/Time.hpp>

// Where the game's clocks read the time. The running game uses the system
// clock; tests and benchmarks step a manual one so that every timed key and
// the message window can be driven frame by frame.
class TimeSource
{
public:
    virtual ~TimeSource() = default;

    // Time since an arbitrary fixed start; never goes backwards.
    virtual sf::Time now() const = 0;

    // The process-wide monotonic clock.
    static const TimeSource& system();
};

// A clock that only moves when told to.
class ManualTimeSource : public TimeSource
{
public:
    sf::Time now() const override { return current; }
    void advance(sf::Time step) { current += step; }

    sf::Time current = sf::Time::Zero;
};

// An sf::Clock that reads its time from a TimeSource: the same two calls,
// getElapsedTime and restart, with the same meaning. The source must outlive it.
class Stopwatch
{
public:
    explicit Stopwatch(const TimeSource& source = TimeSource::system());

    sf::Time getElapsedTime() const;
    // Starts again from zero and returns the time elapsed before.
    sf::Time restart();

private:
    const TimeSource* source;
    sf::Time started;
};
