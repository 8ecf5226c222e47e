#pragma once

// Runs the built gribb-render, whose path the test program's target defines as GRIBB_RENDER_PATH,
// and keeps what it printed and its exit code.
#include <juce_core/juce_core.h>

namespace gribb::test
{
struct RenderHostRun
{
    int exitCode = -1; // -1: the program could not be started
    juce::String output;
};

inline RenderHostRun runRenderHost (juce::StringArray args,
                                    int streams = juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr)
{
    args.insert (0, GRIBB_RENDER_PATH);
    juce::ChildProcess process;
    RenderHostRun run;
    if (! process.start (args, streams))
        return run;
    run.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    run.exitCode = (int) process.getExitCode();
    return run;
}
} // namespace gribb::test
