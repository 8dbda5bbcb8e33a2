#pragma once

#include <string>
#include <utility>

// How reading a file ended: the one result that the file readers, the picture
// decoder and the content loaders hand on.
struct ReadResult
{
    enum class Status
    {
        Complete, // read (or, for an open RegularFile, nothing has failed yet)
        Missing,  // there is no file of that name
        Failed,   // the file exists but cannot be used; see `reason`
    };
    Status status = Status::Complete;
    std::string reason; // "<path>: <what is wrong>"; empty when Complete

    explicit operator bool() const { return status == Status::Complete; }
};

// How writing a file ended: the one result that the safe writer, new-file
// creation, the encoders and every save, export and capture hand on.
struct WriteResult
{
    enum class Status
    {
        Complete, // written (or created)
        Taken,    // a file that must be new already has the name; it is untouched
        Failed,   // nothing usable was written; see `reason`
    };
    Status status = Status::Complete;
    std::string reason; // "<path>: <what is wrong>"; empty unless Failed

    explicit operator bool() const { return status == Status::Complete; }

    static WriteResult failed(std::string reason) { return {Status::Failed, std::move(reason)}; }
};
