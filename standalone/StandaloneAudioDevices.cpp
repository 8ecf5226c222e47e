#include "standalone/StandaloneAudioDevices.h"

#include <memory>

namespace StandaloneAudioDevices
{
namespace
{
std::unique_ptr<juce::AudioIODeviceType> createType (const juce::String& deviceType)
{
    if (deviceType == jackType)
        return std::unique_ptr<juce::AudioIODeviceType> (juce::AudioIODeviceType::createAudioIODeviceType_JACK());

    if (deviceType == alsaType)
        return std::unique_ptr<juce::AudioIODeviceType> (juce::AudioIODeviceType::createAudioIODeviceType_ALSA());

    return nullptr;
}

/** The MIDI parts of a set-up: the enabled inputs and the default output. */
void copyMidiDevices (const juce::XmlElement* from, juce::XmlElement& to)
{
    while (auto* input = to.getChildByName ("MIDIINPUT"))
        to.removeChildElement (input, true);

    to.removeAttribute ("defaultMidiOutput");
    to.removeAttribute ("defaultMidiOutputDevice");

    if (from == nullptr)
        return;

    for (auto* input : from->getChildWithTagNameIterator ("MIDIINPUT"))
        to.addChildElement (new juce::XmlElement (*input));

    for (const auto* attribute : { "defaultMidiOutput", "defaultMidiOutputDevice" })
        if (from->hasAttribute (attribute))
            to.setAttribute (attribute, from->getStringAttribute (attribute));
}
} // namespace

juce::String rememberedSetupKey (const juce::String& deviceType)
{
    return juce::String (setupKey) + "." + deviceType;
}

juce::String defaultOutputDevice (const juce::String& deviceType)
{
    auto type = createType (deviceType);

    if (type == nullptr)
        return {};

    type->scanForDevices();
    const auto names = type->getDeviceNames (false);
    return names[juce::jmax (0, type->getDefaultDeviceIndex (false))];
}

void chooseAudioSystem (juce::PropertySet& settings, const juce::String& deviceType, const juce::String& defaultOutput)
{
    const auto saved = settings.getXmlValue (setupKey);

    if (saved != nullptr ? saved->getStringAttribute ("deviceType") == deviceType : deviceType == alsaType)
        return;

    std::unique_ptr<juce::XmlElement> chosen = settings.getXmlValue (rememberedSetupKey (deviceType));

    if (chosen == nullptr || ! chosen->hasTagName ("DEVICESETUP"))
    {
        if (defaultOutput.isEmpty())
        {
            // Nothing to open of that type: JUCE then picks the first device it finds.
            if (saved != nullptr && saved->getStringAttribute ("deviceType") == jackType)
                settings.removeValue (setupKey);
            return;
        }

        chosen = std::make_unique<juce::XmlElement> ("DEVICESETUP");
        chosen->setAttribute ("deviceType", deviceType);
        chosen->setAttribute ("audioOutputDeviceName", defaultOutput);
    }

    copyMidiDevices (saved.get(), *chosen);
    settings.setValue (setupKey, chosen.get());
}

void chooseAudioSystem (juce::PropertySet& settings)
{
    const auto jackOutput = defaultOutputDevice (jackType);

    if (jackOutput.isNotEmpty())
        chooseAudioSystem (settings, jackType, jackOutput);
    else
        chooseAudioSystem (settings, alsaType, defaultOutputDevice (alsaType));
}

void rememberAudioSetup (juce::PropertySet& settings)
{
    const auto saved = settings.getXmlValue (setupKey);

    if (saved == nullptr || ! saved->hasTagName ("DEVICESETUP"))
        return;

    const auto deviceType = saved->getStringAttribute ("deviceType");

    if (deviceType.isNotEmpty() && saved->getStringAttribute ("audioOutputDeviceName").isNotEmpty())
        settings.setValue (rememberedSetupKey (deviceType), saved.get());
}

juce::String statusLine (const juce::AudioDeviceManager& deviceManager)
{
    if (deviceManager.getCurrentAudioDevice() != nullptr)
        return {};

    return "No audio device: choose one under Options";
}
} // namespace StandaloneAudioDevices

