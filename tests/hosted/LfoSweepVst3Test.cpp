// Through the VST3 interface: the LFO sweeps the filter cutoff, so a held note's spectrum changes
// from block to block; without LFO depth it stays put.
#include <gtest/gtest.h>

#include <algorithm>

#include "OfflineRenderer.h"
#include "ParameterSetter.h"
#include "PluginLoader.h"
#include "support/PluginBundles.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

/** Per block: the energy of the first difference over the energy of the signal, a measure of how
    much of the block's sound lies high in the spectrum. */
std::vector<double> brightnessPerBlock (float lfoToCutoff)
{
    gribb::render::PluginLoader loader;
    juce::String error;
    auto plugin = loader.load (gribb::test::vst3Bundle(), sampleRate, blockSize, error);
    if (plugin == nullptr)
    {
        ADD_FAILURE() << error;
        return {};
    }
    EXPECT_TRUE (gribb::render::setOutputChannels (*plugin, 2));

    const std::pair<const char*, juce::String> settings[] = {
        { "oscType", "Square" }, { "cutoff", "1000" },   { "resonance", "0.7" }, { "lfoShape", "Triangle" },
        { "lfoRate", "2" },      { "lfoToCutoff", juce::String (lfoToCutoff) },   { "outputGain", "0" },
        { "sustain", "1" },
    };
    for (const auto& [id, value] : settings)
    {
        auto* parameter = gribb::render::findParameter (*plugin, id);
        if (parameter == nullptr || ! gribb::render::setPlainValue (*parameter, value, error))
        {
            ADD_FAILURE() << id << ": " << error;
            return {};
        }
    }

    juce::MidiMessageSequence sequence;
    sequence.addEvent (juce::MidiMessage::noteOn (1, 72, (juce::uint8) 100), 0.0);
    sequence.addEvent (juce::MidiMessage::noteOff (1, 72), 1.0);

    gribb::render::RenderSettings render;
    render.sampleRate = sampleRate;
    render.blockSize = blockSize;
    render.tailSeconds = 0.0;
    const auto result = gribb::render::renderSequence (*plugin, sequence, render);

    std::vector<double> brightness;
    const auto* samples = result.audio.getReadPointer (0);
    for (int start = 4 * blockSize; start + blockSize <= (int) (0.95 * sampleRate); start += blockSize)
    {
        double energy = 0.0, difference = 0.0;
        for (int i = start + 1; i < start + blockSize; ++i)
        {
            energy += (double) samples[i] * samples[i];
            difference += (double) (samples[i] - samples[i - 1]) * (samples[i] - samples[i - 1]);
        }
        EXPECT_GT (energy, 1.0e-6) << "silent block at " << start;
        brightness.push_back (difference / juce::jmax (energy, 1.0e-12));
    }
    return brightness;
}
} // namespace

TEST (LfoSweepVst3, SweptCutoffChangesTheSpectrumFromBlockToBlock)
{
    const auto swept = brightnessPerBlock (1.0f);
    const auto still = brightnessPerBlock (0.0f);
    ASSERT_GT (swept.size(), 40u);
    ASSERT_EQ (swept.size(), still.size());

    const auto [sweptMin, sweptMax] = std::minmax_element (swept.begin(), swept.end());
    const auto [stillMin, stillMax] = std::minmax_element (still.begin(), still.end());

    // Two octaves either way of 1 kHz under a C5 pulse: the brightest block is well over twice as
    // bright as the darkest (about 3.5), while the unswept note keeps its colour (within 10 %).
    EXPECT_GT (*sweptMax / *sweptMin, 2.5);
    EXPECT_LT (*stillMax / *stillMin, 1.2);

    // The sweep moves step by step: most neighbouring blocks differ.
    int changes = 0;
    for (size_t i = 1; i < swept.size(); ++i)
        changes += std::abs (swept[i] - swept[i - 1]) > 1.0e-3 * swept[i] ? 1 : 0;
    EXPECT_GT (changes, (int) swept.size() * 3 / 4);
}
