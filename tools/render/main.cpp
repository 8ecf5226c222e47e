// gribb-render: plays a MIDI file (or a built-in demo phrase) through an instrument plug-in
// offline and writes the result to a WAV file.
#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include "DefaultPlugin.h"
#include "DemoPhrase.h"
#include "LearnedControllers.h"
#include "MidiFileLoader.h"
#include "OfflineRenderer.h"
#include "ParameterListing.h"
#include "ParameterSetter.h"
#include "PitchOptions.h"
#include "PluginLoader.h"
#include "PluginState.h"
#include "ProgramSelection.h"
#include "RenderOptions.h"
#include "WavFileWriter.h"

#include <iostream>

namespace
{
enum ExitCode { done = 0, badCommandLine = 1, pluginNotLoadable = 2, midiUnreadable = 3, badParameter = 4, outputFailed = 5, tuningUnreadable = 6 };
constexpr ExitCode stateUnreadable = midiUnreadable; // a state file is an input, as a MIDI file is

int fail (ExitCode code, const juce::String& message)
{
    std::cerr << "gribb-render: error: " << message << std::endl;
    return code;
}

juce::String decibels (float gain)
{
    return gain > 0.0f ? juce::String (juce::Decibels::gainToDecibels (gain), 2) + " dBFS" : "-inf dBFS";
}

int run (const juce::StringArray& args)
{
    using namespace gribb::render;

    RenderOptions options;
    juce::String error;

    if (! parseRenderOptions (args, options, error))
        return fail (badCommandLine, error + "\n" + renderUsage());

    if (options.showHelp)
    {
        std::cout << renderUsage();
        return done;
    }

    if (options.plugin == juce::File())
    {
        const auto program = runningProgram();
        const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
        options.plugin = findDefaultPlugin (program, GRIBB_BUILT_PLUGIN_RELATIVE, home);

        if (options.plugin == juce::File())
        {
            juce::StringArray places;
            for (const auto& candidate : defaultPluginCandidates (program, GRIBB_BUILT_PLUGIN_RELATIVE, home))
                places.add (candidate.getFullPathName());
            return fail (pluginNotLoadable, "plug-in not found: no Gribb Tazo.vst3 in " + places.joinIntoString (", ")
                                                + " (name one with --plugin PATH)");
        }
    }

    // A bad scale or mapping stops the render before anything is loaded or written.
    if (! readPitchFiles (options.pitch, error))
        return fail (tuningUnreadable, error);

    if (! options.onlyLists() && ! checkOutputFile (options.output, options.makeFolders, error))
        return fail (outputFailed, error);

    juce::MidiMessageSequence sequence;
    if (options.midiFile != juce::File())
    {
        if (! loadMidiFile (options.midiFile, sequence, error))
            return fail (midiUnreadable, error);
    }
    else
    {
        sequence = makeDemoPhrase();
    }

    juce::MemoryBlock savedState;
    if (options.stateFile != juce::File() && ! readStateFile (options.stateFile, savedState, error))
        return fail (stateUnreadable, error);
    if (options.saveStateFile != juce::File() && ! checkOutputFile (options.saveStateFile, options.makeFolders, error))
        return fail (outputFailed, error);

    PluginLoader loader;
    auto plugin = loader.load (options.plugin, options.sampleRate, options.blockSize, error);
    if (plugin == nullptr)
        return fail (pluginNotLoadable, error);

    // --state: restored before the program and the parameters, which go on top of it.
    if (! savedState.isEmpty())
    {
        const auto own = xmlOfPluginState (readPluginState (*plugin));
        const auto saved = xmlOfPluginState (savedState);
        if (own == nullptr || saved == nullptr || saved->getTagName() != own->getTagName())
            return fail (stateUnreadable, options.stateFile.getFullPathName() + " is not a state of " + plugin->getName());

        plugin->prepareToPlay (options.sampleRate, options.blockSize);
        const bool restored = restorePluginState (*plugin, savedState, error);
        plugin->releaseResources();
        if (! restored)
            return fail (stateUnreadable, error);
    }

    if (! setOutputChannels (*plugin, options.channels))
        return fail (pluginNotLoadable, "the plug-in refuses a " + juce::String (options.channels == 1 ? "mono" : "stereo") + " output");

    const auto programs = listPrograms (*plugin);

    if (options.listPrograms)
    {
        std::cout << "# " << programs.size() << " programs of " << plugin->getName() << ": " << programs.rule << "\n";
        for (int i = 0; i < programs.size(); ++i)
            std::cout << i << "\t" << programs.names[i] << "\n";
        if (! options.listParameters)
            return done;
    }

    int chosenProgram = -1;
    if (options.program.has_value())
    {
        chosenProgram = findProgram (programs, *options.program, error);
        if (chosenProgram < 0)
            return fail (badParameter, error);
    }

    if (! setUpForRender (*plugin, programs, chosenProgram, options.parameters, options.sampleRate, options.blockSize, error))
        return fail (badParameter, error);

    if (! applyPitchOptions (*plugin, options.pitch, error))
        return fail (badParameter, error);

    // --learn after the parameters, then --save-state; --automate's parameters.
    if (! options.learned.empty())
    {
        std::vector<LearnRequest> requests;
        for (const auto& [controller, target] : options.learned)
            requests.push_back ({ controller, target });

        plugin->prepareToPlay (options.sampleRate, options.blockSize);
        const bool learned = learnControllers (*plugin, requests, error);
        plugin->releaseResources();
        if (! learned)
            return fail (badParameter, error);
    }

    if (options.saveStateFile != juce::File())
    {
        if (! writeStateFile (options.saveStateFile, readPluginState (*plugin), error))
            return fail (outputFailed, error);
        std::cout << "saved state: " << options.saveStateFile.getFullPathName() << "\n";
    }

    std::vector<std::pair<int, juce::AudioProcessorParameter*>> automatedControllers;
    for (const auto& [controller, idOrName] : options.automated)
    {
        auto* parameter = findParameter (*plugin, idOrName);
        if (parameter == nullptr)
            return fail (badParameter, "unknown parameter '" + idOrName + "' for --automate (try --list-params)");
        automatedControllers.emplace_back (controller, parameter);
    }

    if (options.listParameters)
    {
        std::cout << "ID\tname\trange\tunit\tvalue\n";
        for (const auto& row : describeParameters (*plugin, options.listHostParameters))
            std::cout << row.id << "\t" << row.name << "\t" << row.range << "\t" << row.unit << "\t" << row.value << "\n";
        return done;
    }

    if (options.saveStateFile != juce::File())
        return done;

    RenderSettings settings;
    settings.sampleRate = options.sampleRate;
    settings.blockSize = options.blockSize;
    settings.numChannels = options.channels;
    settings.tailSeconds = options.tailSeconds;
    settings.automatedControllers = automatedControllers;

    const auto result = renderSequence (*plugin, sequence, settings);

    if (! writeWavFile (options.output, result.audio, options.sampleRate, error))
        return fail (outputFailed, error);

    std::cout << "plug-in:  " << plugin->getName() << " (" << options.plugin.getFullPathName() << ")\n"
              << "wrote:    " << options.output.getFullPathName() << "\n"
              << "length:   " << juce::String (result.secondsRendered, 3) << " s at "
              << juce::String (options.sampleRate, 0) << " Hz, " << options.channels << " channel(s), block "
              << options.blockSize
              << (options.channels == 1 && plugin->getTotalNumOutputChannels() == 2 ? " (mixed down from the plug-in's fixed stereo output)" : "")
              << "\n";

    if (chosenProgram >= 0)
        std::cout << "program:  " << chosenProgram << " \"" << programs.names[chosenProgram] << "\" (" << programs.rule << ")\n";

    for (int ch = 0; ch < result.audio.getNumChannels(); ++ch)
        std::cout << "channel " << ch << ": peak " << decibels (result.audio.getMagnitude (ch, 0, result.audio.getNumSamples()))
                  << ", RMS " << decibels (result.audio.getRMSLevel (ch, 0, result.audio.getNumSamples())) << "\n";

    std::cout << "speed:    " << juce::String (result.realtimeFactor(), 1) << "x realtime\n";
    return done;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::ScopedJuceInitialiser_GUI juce;
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    const int code = run (args);
    juce::DeletedAtShutdown::deleteAll();
    return code;
}
