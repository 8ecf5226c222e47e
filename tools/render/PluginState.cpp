#include "PluginState.h"

#include "ProgramSelection.h"

namespace gribb::render
{
namespace
{
bool isVst3 (juce::AudioPluginInstance& plugin)
{
    return plugin.getPluginDescription().pluginFormatName == "VST3";
}

/** Where the plug-in's state property (its block in JUCE's base 64) lies in an LV2 state text. */
juce::Range<int> lv2StateString (const juce::String& turtle)
{
    const juce::String key = ":StateString> \"";
    const int start = turtle.indexOf (key);
    if (start < 0)
        return {};
    const int end = turtle.indexOf (start + key.length(), "\"");
    return end > start ? juce::Range<int> (start + key.length(), end) : juce::Range<int>();
}
} // namespace

juce::MemoryBlock readPluginState (juce::AudioPluginInstance& plugin)
{
    juce::MemoryBlock hostState, block;
    plugin.getStateInformation (hostState);

    if (isVst3 (plugin))
    {
        if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize()))
            if (auto* component = xml->getChildByName ("IComponent"))
                block.fromBase64Encoding (component->getAllSubText());
    }
    else
    {
        const auto text = hostState.toString();
        const auto range = lv2StateString (text);
        if (! range.isEmpty())
            block.fromBase64Encoding (text.substring (range.getStart(), range.getEnd()));
    }
    return block;
}

bool restorePluginState (juce::AudioPluginInstance& plugin, const juce::MemoryBlock& block, juce::String& error)
{
    const auto encoded = block.toBase64Encoding();
    juce::MemoryBlock hostState;

    if (isVst3 (plugin))
    {
        juce::XmlElement wrapper ("VST3PluginState");
        wrapper.createNewChildElement ("IComponent")->addTextElement (encoded);
        juce::AudioProcessor::copyXmlToBinary (wrapper, hostState);
    }
    else
    {
        juce::MemoryBlock current;
        plugin.getStateInformation (current);
        auto text = current.toString();
        const auto range = lv2StateString (text);
        if (range.isEmpty())
        {
            error = "the plug-in's LV2 state has no place for a saved state";
            return false;
        }
        text = text.substring (0, range.getStart()) + encoded + text.substring (range.getEnd());
        hostState.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
    }

    plugin.setStateInformation (hostState.getData(), (int) hostState.getSize());
    flushParameterChanges (plugin);
    return true;
}

bool readStateFile (const juce::File& file, juce::MemoryBlock& block, juce::String& error)
{
    // A saved state is a few kilobytes; anything far larger is not one.
    constexpr juce::int64 largestState = 1024 * 1024;

    if (! file.existsAsFile())
    {
        error = "cannot open state file " + file.getFullPathName();
        return false;
    }
    if (file.getSize() > largestState)
    {
        error = "state file " + file.getFullPathName() + " is too large to be a saved state";
        return false;
    }
    if (! file.loadFileAsData (block))
    {
        error = "cannot read state file " + file.getFullPathName();
        return false;
    }
    if (xmlOfPluginState (block) == nullptr)
    {
        error = file.getFullPathName() + " is not a saved state (expected the block --save-state writes)";
        return false;
    }
    return true;
}

bool writeStateFile (const juce::File& file, const juce::MemoryBlock& block, juce::String& error)
{
    juce::TemporaryFile temporary (file);
    if (block.isEmpty() || ! temporary.getFile().replaceWithData (block.getData(), block.getSize())
        || ! temporary.overwriteTargetFileWithTemporary())
    {
        error = block.isEmpty() ? "the plug-in gave no state to save" : "cannot write state file " + file.getFullPathName();
        return false;
    }
    return true;
}

std::unique_ptr<juce::XmlElement> xmlOfPluginState (const juce::MemoryBlock& block)
{
    return juce::AudioProcessor::getXmlFromBinary (block.getData(), (int) block.getSize());
}
} // namespace gribb::render
