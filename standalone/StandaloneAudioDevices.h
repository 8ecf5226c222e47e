#pragma once

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_data_structures/juce_data_structures.h>

/** Which audio system the Standalone plays through, and what it says when it has none.

    It plays through JACK when a JACK server runs and through ALSA otherwise. JUCE's standalone
    keeps one audio set-up in the settings ("audioSetup": device type, devices, rate, block size
    and the MIDI inputs) and saves it when the app closes. Before the app opens its devices,
    chooseAudioSystem() puts there the set-up last used with the wanted system (or that system's
    default device), keeping the MIDI inputs; when the app closes, rememberAudioSetup() keeps the
    set-up under its system's name ("audioSetup.JACK", "audioSetup.ALSA"), so that each system
    comes back with the devices chosen for it. */
namespace StandaloneAudioDevices
{
inline constexpr const char* jackType = "JACK";
inline constexpr const char* alsaType = "ALSA";
/** JUCE's own settings key for the audio set-up. */
inline constexpr const char* setupKey = "audioSetup";

/** The key under which the set-up last used with a device type is kept. */
juce::String rememberedSetupKey (const juce::String& deviceType);

/** The default output device of a device type, or an empty string if the type has none (for
    JACK: when no JACK server runs; JUCE asks without starting one). */
juce::String defaultOutputDevice (const juce::String& deviceType);

/** Puts into settings the set-up to open for deviceType, whose default output device is
    defaultOutput: nothing changes when the saved set-up already uses that type, or when there
    is no saved set-up and the type is ALSA (JUCE's own choice); otherwise the set-up remembered
    for the type, or one with its default device, replaces it, with the saved MIDI inputs. */
void chooseAudioSystem (juce::PropertySet& settings, const juce::String& deviceType, const juce::String& defaultOutput);

/** The type to play through: JACK when a server runs, else ALSA; then chooseAudioSystem(). */
void chooseAudioSystem (juce::PropertySet& settings);

/** Keeps the saved set-up under its device type's name too. */
void rememberAudioSetup (juce::PropertySet& settings);

/** The line the window shows about the audio device: empty while one is open. */
juce::String statusLine (const juce::AudioDeviceManager& deviceManager);
} // namespace StandaloneAudioDevices
