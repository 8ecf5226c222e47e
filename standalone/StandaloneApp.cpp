// The Standalone app: JUCE's plug-in window and device settings around the processor, as JUCE's
// own default app builds them, with an on-screen keyboard below the editor (StandaloneWindow),
// JACK when a JACK server runs, and a command line that answers without a display. JUCE's app
// would otherwise open no window where there is no display and wait for ever.

#include "standalone/StandaloneAudioDevices.h"
#include "standalone/StandaloneWindow.h"

#include <iostream>

namespace
{
const char* const usage =
    "usage: gribb-tazo [--help | --version]\n"
    "Starts the Gribb Tazo synthesiser in its own window. Play it with a MIDI keyboard, the\n"
    "on-screen keyboard, or the computer keyboard (A W S E D F T G Y H U J K O L P ;, with Z and X\n"
    "for the octave). It plays through JACK when a JACK server runs, through ALSA otherwise. The\n"
    "audio and MIDI devices are chosen under Options in the window's title bar and remembered,\n"
    "with the sound and the keyboard's octave, in ~/.config/Gribb Tazo.settings.\n"
    "  --help      print this text\n"
    "  --version   print the version\n";

class GribbStandaloneApp final : public juce::JUCEApplication
{
public:
    GribbStandaloneApp()
    {
        juce::PropertiesFile::Options options;
        options.applicationName = juce::CharPointer_UTF8 (JucePlugin_Name);
        options.filenameSuffix = ".settings";
        options.osxLibrarySubFolder = "Application Support";
        options.folderName = "~/.config";
        appProperties.setStorageParameters (options);
    }

    const juce::String getApplicationName() override { return juce::CharPointer_UTF8 (JucePlugin_Name); }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}

    void initialise (const juce::String&) override
    {
        const auto args = getCommandLineParameterArray();

        if (args.contains ("--help") || args.contains ("-h"))
            return finish (0, usage, std::cout);

        if (args.contains ("--version"))
            return finish (0, getApplicationName() + " " + getApplicationVersion() + "\n", std::cout);

        if (juce::Desktop::getInstance().getDisplays().displays.isEmpty())
            return finish (1, "gribb-tazo: error: no display to open the window on (is DISPLAY set?); "
                              "gribb-render plays MIDI through the plug-in without one\n", std::cerr);

        // Decided before JUCE opens the devices, which it does as the window is made.
        StandaloneAudioDevices::chooseAudioSystem (*appProperties.getUserSettings());

        mainWindow = std::make_unique<StandaloneWindow> (
            getApplicationName(),
            juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
            std::make_unique<juce::StandalonePluginHolder> (appProperties.getUserSettings(), false, juce::String{}, nullptr,
                                                            juce::Array<juce::StandalonePluginHolder::PluginInOuts>{}, false));
        mainWindow->setVisible (true);
    }

    void shutdown() override
    {
        mainWindow = nullptr; // JUCE saves the devices' set-up into the settings here
        StandaloneAudioDevices::rememberAudioSetup (*appProperties.getUserSettings());
        appProperties.saveIfNeeded();
    }

    void systemRequestedQuit() override
    {
        if (mainWindow != nullptr)
            mainWindow->pluginHolder->savePluginState();

        if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
        {
            juce::Timer::callAfterDelay (100, []
            {
                if (auto* app = juce::JUCEApplicationBase::getInstance())
                    app->systemRequestedQuit();
            });
        }
        else
        {
            quit();
        }
    }

private:
    void finish (int exitCode, const juce::String& text, std::ostream& stream)
    {
        stream << text << std::flush;
        setApplicationReturnValue (exitCode);
        quit();
    }

    juce::ApplicationProperties appProperties;
    std::unique_ptr<StandaloneWindow> mainWindow;
};
} // namespace

juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication() { return new GribbStandaloneApp(); }
