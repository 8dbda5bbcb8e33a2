#pragma once

#include "platform/FileResults.h"

#include <string>

// How a write ended, as a test compares it: "" when Complete, "taken" when
// the name was taken, else the reason (never empty), so a failure shows it.
inline std::string writeOutcome(const WriteResult& result)
{
    if (result)
        return {};
    if (result.status == WriteResult::Status::Taken)
        return "taken";
    return result.reason.empty() ? "failed without a reason" : result.reason;
}
