#include "LearnedControllers.h"

#include "ParameterListing.h"
#include "ParameterSetter.h"
#include "PluginState.h"

namespace gribb::render
{
namespace
{
const juce::String learnElement ("MIDI_LEARN"), bindingElement ("BINDING");

/** The target's ID as the plug-in's saved bindings name it, or empty. */
juce::String targetId (juce::AudioPluginInstance& plugin, const juce::String& target)
{
    if (target.trim().equalsIgnoreCase ("crush"))
        return "crushMacro";
    if (target.trim().equalsIgnoreCase ("warp"))
        return "warpMacro";

    auto* parameter = findParameter (plugin, target);
    if (parameter == nullptr || isHostAddedParameter (plugin, *parameter))
        return {};
    return readableParameterId (plugin, *parameter);
}

bool isBound (const juce::XmlElement* learn, const juce::String& id, int controller)
{
    if (learn != nullptr)
        for (auto* binding : learn->getChildWithTagNameIterator (bindingElement))
            if (binding->getStringAttribute ("target") == id && binding->getIntAttribute ("controller", -1) == controller)
                return true;
    return false;
}
} // namespace

bool learnControllers (juce::AudioPluginInstance& plugin, const std::vector<LearnRequest>& requests, juce::String& error)
{
    if (requests.empty())
        return true;

    auto xml = xmlOfPluginState (readPluginState (plugin));
    if (xml == nullptr)
    {
        error = "the plug-in's saved state cannot be read, so --learn cannot bind controllers in it";
        return false;
    }

    auto* learn = xml->getChildByName (learnElement);
    if (learn == nullptr)
        learn = xml->createNewChildElement (learnElement);

    std::vector<juce::String> ids;
    for (const auto& request : requests)
    {
        const auto id = targetId (plugin, request.target);
        if (id.isEmpty())
        {
            error = "unknown --learn target '" + request.target + "' (a parameter's ID or name, crush or warp; try --list-params)";
            return false;
        }
        ids.push_back (id);

        // A target has one controller, and a controller one target: the later request wins.
        for (int i = learn->getNumChildElements(); --i >= 0;)
        {
            auto* binding = learn->getChildElement (i);
            if (binding->getStringAttribute ("target") == id || binding->getIntAttribute ("controller", -1) == request.controller)
                learn->removeChildElement (binding, true);
        }

        auto* binding = learn->createNewChildElement (bindingElement);
        binding->setAttribute ("target", id);
        binding->setAttribute ("controller", request.controller);
        binding->setAttribute ("channel", 0);
    }

    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (*xml, block);
    if (! restorePluginState (plugin, block, error))
        return false;

    // The plug-in skips a binding it refuses; the state it gives back says which it took.
    const auto restored = xmlOfPluginState (readPluginState (plugin));
    const auto* restoredLearn = restored != nullptr ? restored->getChildByName (learnElement) : nullptr;
    for (size_t i = 0; i < requests.size(); ++i)
    {
        bool laterTakesIt = false;
        for (size_t j = i + 1; j < requests.size(); ++j)
            laterTakesIt = laterTakesIt || requests[j].controller == requests[i].controller || ids[j] == ids[i];

        if (! laterTakesIt && ! isBound (restoredLearn, ids[i], requests[i].controller))
        {
            error = "the plug-in refuses to learn controller " + juce::String (requests[i].controller) + " (to "
                  + requests[i].target + "): it keeps the controllers its voices read (see the manual's MIDI learn)";
            return false;
        }
    }
    return true;
}
} // namespace gribb::render
