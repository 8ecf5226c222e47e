#include <gtest/gtest.h>

#include "processor/GribbTazoAudioProcessor.h"

namespace
{
struct Expected
{
    const char* id;
    const char* name;
    float defaultValue;
    float normalisedDefault;
};

// Display names, defaults and normalised defaults as the host must see them.
const Expected expected[] = {
    { "oscType", "Oscillator", 0.0f, 0.0f },          { "pulseWidth", "Pulse Width", 0.5f, 0.5f },
    { "fmRatio", "FM Ratio", 2.0f, 0.1489f },         { "fmIndex", "FM Index", 0.0f, 0.0f },
    { "attack", "Attack", 0.005f, 0.0631f },          { "decay", "Decay", 0.15f, 0.2682f },
    { "sustain", "Sustain", 0.8f, 0.8f },             { "release", "Release", 0.25f, 0.2801f },
    { "unison", "Unison Detune", 0.0f, 0.0f },        { "cutoff", "Cutoff", 12000.0f, 0.8800f },
    { "resonance", "Resonance", 0.9f, 0.0808f },      { "drive", "Analog Drive", 1.0f, 0.0f },
    { "hardClip", "Hard Clip", 0.0f, 0.0f },          { "oversample", "Oversampling", 1.0f, 0.5f },
    { "bitDepth", "Bit Depth", 16.0f, 1.0f },         { "srReduce", "SR Reduction", 0.0f, 0.0f },
    { "lfoRate", "LFO Rate", 2.0f, 0.3499f },         { "lfoShape", "LFO Shape", 0.0f, 0.0f },
    { "lfoToCutoff", "LFO -> Cutoff", 0.0f, 0.0f },   { "lfoToFm", "LFO -> FM Index", 0.0f, 0.0f },
    { "outputGain", "Output", -6.0f, 0.7778f },       { "reactiveRoast", "Reactive Roast", 1.0f, 1.0f },
};
} // namespace

TEST (ParameterSet, TwentyTwoParametersInOrderWithNamesAndDefaults)
{
    GribbTazoAudioProcessor processor;
    const auto& params = processor.getParameters();
    ASSERT_EQ (params.size(), 22);

    for (int i = 0; i < 22; ++i)
    {
        SCOPED_TRACE (expected[i].id);
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (params[i]);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (p->getParameterID(), expected[i].id);
        EXPECT_EQ (p->getName (100), expected[i].name);
        EXPECT_EQ (p->getVersionHint(), 1);
        EXPECT_TRUE (p->isAutomatable());
        EXPECT_NEAR (p->getValue(), expected[i].normalisedDefault, 1.0e-4);
        EXPECT_FLOAT_EQ (processor.parameters.getRawParameterValue (expected[i].id)->load(), expected[i].defaultValue);
        EXPECT_TRUE (p->getLabel().isEmpty());
    }
}

TEST (ParameterSet, ChoicesAreListedInOrder)
{
    GribbTazoAudioProcessor processor;
    auto choicesOf = [&] (const char* id)
    { return dynamic_cast<juce::AudioParameterChoice*> (processor.parameters.getParameter (id))->choices; };

    EXPECT_EQ (choicesOf ("oscType"), juce::StringArray ({ "Square", "Triangle", "FM" }));
    EXPECT_EQ (choicesOf ("oversample"), juce::StringArray ({ "Off", "2x", "4x" }));
    EXPECT_EQ (choicesOf ("lfoShape"), juce::StringArray ({ "Sine", "Triangle", "Square", "Random" }));
}

TEST (ParameterSet, SkewedRangesPlaceValuesWhereHostsExpect)
{
    GribbTazoAudioProcessor processor;
    struct Case { const char* id; float plain; float normalised; };
    const Case cases[] = { { "cutoff", 1000.0f, 0.4706f }, { "attack", 1.0f, 0.5742f },
                           { "drive", 10.0f, 0.5077f },    { "lfoRate", 1.0f, 0.2740f } };

    for (const auto& c : cases)
        EXPECT_NEAR (processor.parameters.getParameterRange (c.id).convertTo0to1 (c.plain), c.normalised, 1.0e-4) << c.id;
}

TEST (ParameterSet, ValuesSnapToTheirInterval)
{
    GribbTazoAudioProcessor processor;
    struct Case { const char* id; float in; float snapped; };
    const Case cases[] = { { "bitDepth", 7.123f, 7.12f }, { "unison", 3.14f, 3.1f }, { "reactiveRoast", 0.4567f, 0.457f } };

    for (const auto& c : cases)
    {
        auto* p = processor.parameters.getParameter (c.id);
        p->setValueNotifyingHost (processor.parameters.getParameterRange (c.id).convertTo0to1 (c.in));
        EXPECT_NEAR (processor.parameters.getRawParameterValue (c.id)->load(), c.snapped, 1.0e-5) << c.id;
    }
}
