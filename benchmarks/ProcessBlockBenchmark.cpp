// processBlock at 48 kHz with 512-sample blocks. Each case reports "realtime": seconds of audio
// rendered per second of processing time on one core.
#include <benchmark/benchmark.h>

#include <juce_events/juce_events.h>

#include "processor/GribbTazoAudioProcessor.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

using Settings = std::initializer_list<std::pair<const char*, float>>;

void setPlain (GribbTazoAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

void runCase (benchmark::State& state, int numNotes, Settings settings, int program = -1)
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    GribbTazoAudioProcessor processor;
    if (program >= 0)
        processor.setCurrentProgram (program);
    for (const auto& [id, value] : settings)
        setPlain (processor, id, value);

    processor.prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> buffer (2, blockSize);

    // Hold the notes (a sustain level above 0 keeps every voice sounding) and let them settle.
    juce::MidiBuffer notes, none;
    for (int i = 0; i < numNotes; ++i)
        notes.addEvent (juce::MidiMessage::noteOn (1 + i % 16, 40 + 3 * i, 0.8f), 0);
    processor.processBlock (buffer, notes);
    for (int i = 0; i < 20; ++i)
        processor.processBlock (buffer, none);

    for (auto _ : state)
    {
        processor.processBlock (buffer, none);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
        benchmark::ClobberMemory();
    }

    const double audioSeconds = (double) state.iterations() * blockSize / sampleRate;
    state.counters["realtime"] = benchmark::Counter (audioSeconds, benchmark::Counter::kIsRate);
}

const Settings heavy { { "oscType", 2.0f }, { "fmIndex", 4.0f }, { "fmRatio", 2.0f }, { "unison", 12.0f },
                       { "oversample", 2.0f }, { "bitDepth", 8.0f }, { "srReduce", 0.5f },
                       { "drive", 6.0f }, { "hardClip", 0.3f }, { "lfoToFm", 0.5f }, { "lfoToCutoff", 0.5f } };

// No note has ever played: every stage's state is zero, as in an idle instance in a session.
void idle (benchmark::State& s)                 { runCase (s, 0, {}); }
void defaultOneNote (benchmark::State& s)       { runCase (s, 1, {}); }
void defaultSixteenNotes (benchmark::State& s)  { runCase (s, 16, {}); }
void heavySixteenNotes (benchmark::State& s)    { runCase (s, 16, heavy); }
void program20SixteenNotes (benchmark::State& s) { runCase (s, 16, {}, 19); } // "20. Motherboard Melt"
void oversamplingOff (benchmark::State& s)      { runCase (s, 16, { { "oversample", 0.0f } }); }
void oversampling4x (benchmark::State& s)       { runCase (s, 16, { { "oversample", 2.0f } }); }
} // namespace

BENCHMARK (idle)->Unit (benchmark::kMicrosecond);
BENCHMARK (defaultOneNote)->Unit (benchmark::kMicrosecond);
BENCHMARK (defaultSixteenNotes)->Unit (benchmark::kMicrosecond);
BENCHMARK (heavySixteenNotes)->Unit (benchmark::kMicrosecond);
BENCHMARK (program20SixteenNotes)->Unit (benchmark::kMicrosecond);
BENCHMARK (oversamplingOff)->Unit (benchmark::kMicrosecond);
BENCHMARK (oversampling4x)->Unit (benchmark::kMicrosecond);

BENCHMARK_MAIN();
