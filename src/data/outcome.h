#pragma once
// How every reader of the data folder's files reports what came of it: a
// result with an `Outcome status`, and a `std::string error` holding, when it
// failed, exactly what the player or script is told (the file, the line and
// what is wrong). Readers that either read everything or fail keep only the
// `error`, empty when all went well; exceptions (FileError) are for the files
// that cannot be opened at all.
namespace quindle {

enum class Outcome {
    Done,   // read: the result holds what was asked for
    Absent, // nothing is wrong, but what was asked for is not there
    Failed, // `error` says why
};

} // namespace quindle
