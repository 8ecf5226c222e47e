#include "editor/WindowSettings.h"

#include "editor/WindowZoom.h"

namespace gribb::windowSettings
{
namespace
{
const juce::String rootTag ("GribbTazoWindow");
const juce::String zoomAttribute ("zoom");
constexpr juce::int64 largestFile = 64 * 1024;
} // namespace

juce::File file()
{
    const auto configHome = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});
    const auto base = juce::File::isAbsolutePath (configHome)
                          ? juce::File (configHome)
                          : juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".config");
    return base.getChildFile ("Gribb Tazo").getChildFile ("window.xml");
}

std::optional<int> loadChosenZoom (const juce::File& settingsFile)
{
    if (! settingsFile.existsAsFile() || settingsFile.getSize() > largestFile)
        return std::nullopt;

    const auto xml = juce::parseXML (settingsFile.loadFileAsString());

    if (xml == nullptr || xml->getTagName() != rootTag)
        return std::nullopt;

    const auto text = xml->getStringAttribute (zoomAttribute).trim();

    if (text.isEmpty() || ! text.containsOnly ("0123456789") || text.length() > 3)
        return std::nullopt;

    const auto percent = text.getIntValue();
    return zoom::isOffered (percent) ? std::optional<int> (percent) : std::nullopt;
}

bool saveChosenZoom (int percent, const juce::File& settingsFile)
{
    if (! zoom::isOffered (percent))
        return false;

    // A folder in the file's place stays; so does a folder that cannot be made.
    if (settingsFile.isDirectory() || settingsFile.getParentDirectory().createDirectory().failed())
        return false;

    juce::XmlElement xml (rootTag);
    xml.setAttribute (zoomAttribute, percent);

    // Written beside the file and renamed over it.
    juce::TemporaryFile temporary (settingsFile, juce::TemporaryFile::useHiddenFile);

    if (! temporary.getFile().replaceWithText (xml.toString()))
        return false;

    return temporary.overwriteTargetFileWithTemporary();
}
} // namespace gribb::windowSettings
