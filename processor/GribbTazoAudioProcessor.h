#pragma once

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <vector>

#include <juce_audio_processors/juce_audio_processors.h>

#include "engine/GribbEngine.h"
#include "processor/MidiLearn.h"
#include "engine/ParameterTable.h"
#include "processor/PitchSettings.h"

/** The plug-in: the host's frame around the sound engine. It owns the parameters, reads them once
    per block into the engine's parameter values, runs the engine and publishes its roast value;
    and it keeps the programs, the saved state and the window. */
class GribbTazoAudioProcessor : public juce::AudioProcessor
{
public:
    GribbTazoAudioProcessor();
    ~GribbTazoAudioProcessor() override;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    /** The host's choice of program (for VST3, its program-change parameter): the values reach
        the host as a program change, not as edits the user made. */
    void setCurrentProgram (int index) override;
    /** The window's choice of program: every value reaches the host as the user's own edit.
        Choosing the current program again re-applies it. */
    virtual void selectProgram (int index);
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    // Kept track of, so that a program chosen by the host can pass by the VST3 wrapper's controller.
    void addListener (juce::AudioProcessorListener* listener) override;
    void removeListener (juce::AudioProcessorListener* listener) override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    /** The twenty factory program names, in program order. */
    static juce::StringArray getProgramNames();
    /** A factory program's (parameter ID, plain value) list; empty for an index outside 0..19. */
    static std::map<juce::String, float> getProgramValues (int index);
    /** Writes a program's values through the host-notifying path; `currentProgram` is unchanged. */
    void applyProgram (int index);

    juce::AudioProcessorValueTreeState parameters;

    /** Controllers learned to parameters and macro knobs, saved with the state. */
    gribb::MidiLearn midiLearn { parameters };

    /** The user preset file last loaded or saved in the window (processor/UserPresets.h), which
        its selector shows; none once a factory program is chosen or a state is restored. Not part
        of the saved state. Read and set on the message thread; forgetting it is safe from any
        thread, since a host may choose a program from its audio thread. */
    juce::File getLoadedUserPreset() const
    {
        return loadedUserPresetChoice == programChoices.load() ? loadedUserPresetFile : juce::File();
    }
    void setLoadedUserPreset (const juce::File& file)
    {
        loadedUserPresetFile = file;
        loadedUserPresetChoice = programChoices.load();
    }
    void forgetLoadedUserPreset() noexcept { programChoices.fetch_add (1); }

private:
    juce::File loadedUserPresetFile;
    int loadedUserPresetChoice = -1;
    std::atomic<int> programChoices { 0 }; // counts the programs and states that replace a preset

    std::array<std::atomic<float>*, gribb::numParameters> rawValues {};

    /** The block's parameter values, each read once from the parameter state. */
    gribb::BlockValues readRawValues() const noexcept;
    /** The engine's view of the block's values. */
    static gribb::EngineParameters engineParameters (const gribb::BlockValues& values) noexcept;

    gribb::GribbEngine engine;
    std::atomic<int> currentProgram { 0 }; // the window's timer reads it; a host may set it from any thread

    int clampedProgram (int index);
    std::vector<juce::AudioProcessorListener*> listeners; // as registered; message thread only in practice
    juce::CriticalSection listenersLock;

public:
    std::atomic<float> roastLevel { 0.0f };

    /** The pitch-bend range, the MPE choice and the tuning, saved with the state. Message thread. */
    gribb::PitchSettings pitchSettings { engine };

private:
    // Tests look at the engine's synthesiser and voices through this.
    friend struct GribbTazoAudioProcessorInspector;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GribbTazoAudioProcessor)
};
