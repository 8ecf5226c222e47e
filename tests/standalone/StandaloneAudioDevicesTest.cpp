// Which audio system the Standalone opens: JACK when a server runs, ALSA otherwise, each with the
// set-up last used with it, and the MIDI inputs kept whichever is chosen.
#include <gtest/gtest.h>

#include "standalone/StandaloneAudioDevices.h"

namespace
{
juce::String setup (const char* type, const char* output, const char* extra = "", const char* midi = "")
{
    return juce::String ("<DEVICESETUP deviceType=\"") + type + "\" audioOutputDeviceName=\"" + output + "\" " + extra + ">" + midi
         + "</DEVICESETUP>";
}

const char* const keystation = "<MIDIINPUT name=\"Keystation\" identifier=\"24-0\"/>";

void put (juce::PropertySet& settings, const juce::String& key, const juce::String& xml)
{
    if (xml.isNotEmpty())
        settings.setValue (key, juce::parseXML (xml).get());
}

/** The set-up under a key, as "TYPE OUTPUT RATE MIDI-INPUTS", or "none". */
juce::String describe (juce::PropertySet& settings, const juce::String& key)
{
    const auto xml = settings.getXmlValue (key);
    if (xml == nullptr)
        return "none";
    juce::StringArray inputs;
    for (auto* input : xml->getChildWithTagNameIterator ("MIDIINPUT"))
        inputs.add (input->getStringAttribute ("name"));
    return xml->getStringAttribute ("deviceType") + " " + xml->getStringAttribute ("audioOutputDeviceName") + " "
         + xml->getStringAttribute ("audioDeviceRate", "-") + " [" + inputs.joinIntoString (",") + "]";
}
} // namespace

TEST (StandaloneAudioDevices, JackWhenAServerRunsAlsaOtherwiseEachWithItsOwnSetUp)
{
    struct Case
    {
        const char* what;
        juce::String saved, rememberedJack, rememberedAlsa;
        const char* wanted;
        const char* defaultOutput;
        const char* expected;
    };
    const Case cases[] = {
        { "first start, no JACK: JUCE's own choice", {}, {}, {}, "ALSA", "default", "none" },
        { "first start, JACK runs", {}, {}, {}, "JACK", "system", "JACK system - []" },
        { "ALSA last time, JACK runs now", setup ("ALSA", "hw:1", "audioDeviceRate=\"44100\"", keystation), {}, {}, "JACK", "system",
          "JACK system - [Keystation]" },
        { "ALSA last time, JACK runs with a remembered set-up", setup ("ALSA", "hw:1", "", keystation),
          setup ("JACK", "system", "audioDeviceRate=\"96000\""), {}, "JACK", "system", "JACK system 96000 [Keystation]" },
        { "JACK last time, no server now, ALSA remembered", setup ("JACK", "system", "", keystation), {},
          setup ("ALSA", "hw:1", "audioDeviceRate=\"44100\"", "<MIDIINPUT name=\"Old\" identifier=\"1\"/>"), "ALSA", "default",
          "ALSA hw:1 44100 [Keystation]" },
        { "JACK last time, no server now, nothing remembered", setup ("JACK", "system"), {}, {}, "ALSA", "default", "ALSA default - []" },
        { "JACK last time, no server and no ALSA device", setup ("JACK", "system"), {}, {}, "ALSA", "", "none" },
        { "JACK last time and now: JUCE restores it", setup ("JACK", "other", "audioDeviceRate=\"44100\""), {}, {}, "JACK", "system",
          "JACK other 44100 []" },
        { "ALSA last time and now", setup ("ALSA", "hw:2"), {}, {}, "ALSA", "default", "ALSA hw:2 - []" },
    };

    for (const auto& c : cases)
    {
        juce::PropertySet settings;
        put (settings, "audioSetup", c.saved);
        put (settings, "audioSetup.JACK", c.rememberedJack);
        put (settings, "audioSetup.ALSA", c.rememberedAlsa);

        StandaloneAudioDevices::chooseAudioSystem (settings, c.wanted, c.defaultOutput);
        EXPECT_EQ (describe (settings, "audioSetup"), c.expected) << c.what;
    }
}

TEST (StandaloneAudioDevices, TheSavedSetUpIsRememberedUnderItsTypeWhenItHasADevice)
{
    juce::PropertySet settings;
    put (settings, "audioSetup", setup ("JACK", "system", "audioDeviceRate=\"48000\"", keystation));
    StandaloneAudioDevices::rememberAudioSetup (settings);
    EXPECT_EQ (describe (settings, "audioSetup.JACK"), "JACK system 48000 [Keystation]");
    EXPECT_EQ (describe (settings, "audioSetup.ALSA"), "none");

    // A set-up without an output device (nothing could be opened) replaces nothing.
    put (settings, "audioSetup", setup ("JACK", ""));
    StandaloneAudioDevices::rememberAudioSetup (settings);
    EXPECT_EQ (describe (settings, "audioSetup.JACK"), "JACK system 48000 [Keystation]");
}

TEST (StandaloneAudioDevices, WithoutAnAudioDeviceTheWindowSaysSo)
{
    juce::AudioDeviceManager deviceManager;
    EXPECT_EQ (StandaloneAudioDevices::statusLine (deviceManager), "No audio device: choose one under Options");
}
