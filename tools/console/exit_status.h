#pragma once
// The exit status of the console tools: one convention, so that a script
// reads ikwdev-inspect, its --diff and ikwdev-settings alike. 0 is the answer
// hoped for, 1 the other answer (each cause said on standard error), 2 no
// answer at all. Each tool names the values in its own words.

namespace ikw::console {

enum class ExitStatus {
    // Every file is valid; the two files hold the same settings; everything
    // asked for was done.
    AllValid = 0,
    Same = 0,
    Done = 0,
    // Some file is not valid; the files differ; some of what was asked failed.
    SomeInvalid = 1,
    Different = 1,
    SomeFailed = 1,
    // The command line is wrong, a file cannot be read (with --diff: or is no
    // valid device info file), or the output cannot be written.
    WrongUsage = 2,
    CannotRead = 2,
    NotCompared = 2,
    OutputFailed = 2,
};

}  // namespace ikw::console
