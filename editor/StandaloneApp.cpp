// The Standalone app: JUCE's plug-in window and device settings around the processor, as JUCE's
// own default app builds them, plus a command line that answers without a display. JUCE's app
// would otherwise open no window where there is no display and wait for ever.

#include <juce_audio_plugin_client/detail/juce_CheckSettingMacros.h>
#include <juce_audio_plugin_client/detail/juce_IncludeModuleHeaders.h>

#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_utils/juce_audio_utils.h>
#include <juce_gui_extra/juce_gui_extra.h>

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

#include <iostream>

namespace
{
const char* const usage =
    "usage: gribb-tazo [--help | --version]\n"
    "Starts the Gribb Tazo synthesiser in its own window. The audio and MIDI devices are chosen\n"
    "under Options in the window's title bar and remembered, with the sound, in\n"
    "~/.config/Gribb Tazo.settings.\n"
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

        mainWindow = std::make_unique<juce::StandaloneFilterWindow> (
            getApplicationName(),
            juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
            std::make_unique<juce::StandalonePluginHolder> (appProperties.getUserSettings(), false, juce::String{}, nullptr,
                                                            juce::Array<juce::StandalonePluginHolder::PluginInOuts>{}, false));
        mainWindow->setVisible (true);
    }

    void shutdown() override
    {
        mainWindow = nullptr;
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
    std::unique_ptr<juce::StandaloneFilterWindow> mainWindow;
};
} // namespace

juce::JUCEApplicationBase* juce_CreateApplication();
juce::JUCEApplicationBase* juce_CreateApplication() { return new GribbStandaloneApp(); }
