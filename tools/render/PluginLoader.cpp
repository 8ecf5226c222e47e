#include "PluginLoader.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace gribb::render
{
namespace
{
/** Runs `fn` with the process's standard error caught, then writes back every caught line except
    those that contain `expectedNoise`. JUCE's LV2 hosting looks a bundle up by its path both as a
    bundle and as a plug-in URI, and the RDF library reports the path (which has no URI scheme) as
    an error on standard error although the bundle then loads. */
template <typename Fn>
void withoutExpectedNoise (const char* expectedNoise, Fn&& fn)
{
    std::fflush (stderr);
    auto* caught = std::tmpfile();
    const int saved = caught != nullptr ? ::dup (STDERR_FILENO) : -1;

    if (saved < 0 || ::dup2 (::fileno (caught), STDERR_FILENO) < 0)
    {
        if (saved >= 0)
            ::close (saved);
        if (caught != nullptr)
            std::fclose (caught);
        fn();
        return;
    }

    fn();

    std::fflush (stderr);
    ::dup2 (saved, STDERR_FILENO);
    ::close (saved);

    std::rewind (caught);
    char line[4096];
    while (std::fgets (line, sizeof (line), caught) != nullptr)
        if (std::strstr (line, expectedNoise) == nullptr)
            std::fputs (line, stderr);
    std::fclose (caught);
}
} // namespace

PluginLoader::PluginLoader()
{
    formats.addFormat (new juce::VST3PluginFormat());
    formats.addFormat (new juce::LV2PluginFormat());
}

std::unique_ptr<juce::AudioPluginInstance> PluginLoader::load (const juce::File& bundle, double sampleRate,
                                                               int blockSize, juce::String& error)
{
    if (! bundle.exists())
    {
        error = "plug-in not found: " + bundle.getFullPathName();
        return nullptr;
    }

    const auto path = bundle.getFullPathName();

    for (auto* format : formats.getFormats())
    {
        if (! format->fileMightContainThisPluginType (path))
            continue;

        juce::OwnedArray<juce::PluginDescription> found;
        withoutExpectedNoise ("attempt to map invalid URI", [&] { format->findAllTypesForFile (found, path); });

        if (found.isEmpty())
            continue;

        juce::String reason;
        auto instance = formats.createPluginInstance (*found.getFirst(), sampleRate, blockSize, reason);

        if (instance != nullptr)
            return instance;

        error = "could not instantiate " + found.getFirst()->name + ": " + reason;
        return nullptr;
    }

    error = "no VST3 or LV2 plug-in could be loaded from " + path;
    return nullptr;
}
} // namespace gribb::render
