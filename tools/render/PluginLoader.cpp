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
/** The URI of the plug-in that an LV2 bundle's manifest names (the subject of "a lv2:Plugin"),
    or an empty string. */
juce::String lv2PluginUri (const juce::File& bundle)
{
    const auto manifest = bundle.getChildFile ("manifest.ttl");

    if (! manifest.existsAsFile() || manifest.getSize() > 1024 * 1024)
        return {};

    const auto text = manifest.loadFileAsString();

    for (int at = text.indexOf ("a lv2:Plugin"); at >= 0; at = text.indexOf (at + 1, "a lv2:Plugin"))
    {
        const auto before = text.substring (0, at).trimEnd();

        if (before.endsWithChar ('>'))
        {
            const auto open = before.lastIndexOfChar ('<');

            if (open >= 0)
                return before.substring (open + 1, before.length() - 1);
        }
    }

    return {};
}

/** An LV2 bundle in the folders that LV2 hosts load at start (JUCE's are the format's default
    locations), other than `bundle` itself, whose manifest names the same plug-in URI. The host
    keeps the first bundle it finds for a URI and ignores every later one, so a bundle given by
    path is shadowed by such an installed copy. */
juce::File shadowingLv2Bundle (juce::AudioPluginFormat& lv2, const juce::File& bundle, const juce::String& uri)
{
    const auto locations = lv2.getDefaultLocationsToSearch();

    for (int i = 0; i < locations.getNumPaths(); ++i)
    {
        const auto folder = locations[i];

        if (! folder.isDirectory())
            continue;

        for (const auto& candidate : folder.findChildFiles (juce::File::findDirectories, false, "*.lv2"))
            if (candidate != bundle && ! bundle.isAChildOf (candidate) && lv2PluginUri (candidate) == uri)
                return candidate;
    }

    return {};
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
        {
            if (format->getName() == "LV2" && bundle.isDirectory())
            {
                const auto uri = lv2PluginUri (bundle);
                const auto installed = uri.isNotEmpty() ? shadowingLv2Bundle (*format, bundle, uri) : juce::File();

                if (installed != juce::File())
                {
                    error = "the LV2 bundle " + path + " cannot be loaded: the installed bundle "
                            + installed.getFullPathName() + " has the same plug-in URI (" + uri
                            + ") and shadows it (LV2 hosts load only the first bundle they find for a URI); "
                              "remove or update the installed copy, or render it with --plugin \""
                            + installed.getFullPathName() + "\"";
                    return nullptr;
                }
            }

            continue;
        }

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
