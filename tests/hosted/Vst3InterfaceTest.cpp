#include "support/HostedPlugin.h"

#include "DemoPhrase.h"
#include "ParameterSetter.h"

using gribb::test::HostedPlugin;

namespace
{
struct ExpectedParameter { const char* name; float normalisedDefault; };

const ExpectedParameter expectedParameters[] = {
    { "Oscillator", 0.0f },    { "Pulse Width", 0.5f },     { "FM Ratio", 0.1489f }, { "FM Index", 0.0f },
    { "Attack", 0.0631f },     { "Decay", 0.2682f },        { "Sustain", 0.8f },     { "Release", 0.2801f },
    { "Unison Detune", 0.0f }, { "Cutoff", 0.88f },         { "Resonance", 0.0808f }, { "Analog Drive", 0.0f },
    { "Hard Clip", 0.0f },     { "Oversampling", 0.5f },    { "Bit Depth", 1.0f },   { "SR Reduction", 0.0f },
    { "LFO Rate", 0.3499f },   { "LFO Shape", 0.0f },       { "LFO -> Cutoff", 0.0f }, { "LFO -> FM Index", 0.0f },
    { "Output", 0.7778f },     { "Reactive Roast", 1.0f },
};
} // namespace

TEST (Vst3Interface, IdentityAsAHostSeesIt)
{
    HostedPlugin hosted;
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;

    const auto desc = hosted.instance->getPluginDescription();
    EXPECT_EQ (desc.name, "Gribb Tazo");
    EXPECT_EQ (desc.manufacturerName, "Vorlen Pakkt");
    EXPECT_EQ (desc.version, "1.0.0");
    EXPECT_EQ (desc.pluginFormatName, "VST3");
    EXPECT_EQ (desc.category, "Instrument|Synth");
    EXPECT_TRUE (desc.isInstrument);
    EXPECT_EQ (desc.numInputChannels, 0);
    EXPECT_EQ (desc.numOutputChannels, 2);
    EXPECT_TRUE (hosted.instance->acceptsMidi());
    EXPECT_FALSE (hosted.instance->producesMidi());
    EXPECT_TRUE (hosted.instance->hasEditor());
    EXPECT_EQ (hosted.instance->getTotalNumInputChannels(), 0);
    EXPECT_EQ (hosted.instance->getMainBusNumOutputChannels(), 2);
    EXPECT_EQ (hosted.instance->getBus (false, 0)->getName(), "Output");
}

TEST (Vst3Interface, TwentyTwoParametersInOrderThenTheWrappersOwn)
{
    HostedPlugin hosted;
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;

    const auto& params = hosted.instance->getParameters();
    ASSERT_GE (params.size(), 22);

    for (int i = 0; i < 22; ++i)
    {
        EXPECT_EQ (params[i]->getName (100), expectedParameters[i].name) << i;
        EXPECT_NEAR (params[i]->getValue(), expectedParameters[i].normalisedDefault, 1.0e-4) << expectedParameters[i].name;
        EXPECT_NEAR (params[i]->getDefaultValue(), expectedParameters[i].normalisedDefault, 1.0e-4) << expectedParameters[i].name;
        EXPECT_TRUE (params[i]->isAutomatable());
    }

    // Whatever follows comes from the VST3 wrapper (bypass, program), not from the plug-in.
    for (int i = 22; i < params.size(); ++i)
    {
        const auto name = params[i]->getName (100);
        EXPECT_TRUE (name == "Bypass" || name == "Program" || name.startsWith ("MIDI CC")) << name;
    }

    // The string IDs reach the host through the wrapper's parameter numbers.
    EXPECT_EQ (gribb::render::findParameter (*hosted.instance, "cutoff"), params[9]);
    EXPECT_EQ (gribb::render::findParameter (*hosted.instance, "reactiveRoast"), params[21]);
}

TEST (Vst3Interface, AcceptsMonoAndStereoAndRefusesOtherLayouts)
{
    HostedPlugin hosted;
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;

    // A host asks while the plug-in is inactive; JUCE's host side may have activated it already.
    hosted.instance->releaseResources();

    struct Case { juce::AudioChannelSet set; bool accepted; };
    const Case cases[] = { { juce::AudioChannelSet::mono(), true },
                           { juce::AudioChannelSet::stereo(), true },
                           { juce::AudioChannelSet::create5point1(), false },
                           { juce::AudioChannelSet::quadraphonic(), false } };

    for (const auto& c : cases)
    {
        auto layout = hosted.instance->getBusesLayout();
        layout.outputBuses.getReference (0) = c.set;
        EXPECT_EQ (hosted.instance->checkBusesLayoutSupported (layout), c.accepted) << c.set.getDescription();
    }
}

TEST (Vst3Interface, ANoteSoundsOnBothChannels)
{
    HostedPlugin hosted;
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;
    ASSERT_TRUE (gribb::render::setOutputChannels (*hosted.instance, 2));

    juce::MidiMessageSequence seq;
    seq.addEvent (juce::MidiMessage::noteOn (1, 60, 0.9f), 0.0);
    seq.addEvent (juce::MidiMessage::noteOff (1, 60), 0.5);

    gribb::render::RenderSettings settings;
    settings.tailSeconds = 0.5;
    const auto result = gribb::render::renderSequence (*hosted.instance, seq, settings);

    EXPECT_GT (result.audio.getRMSLevel (0, 0, 24000), 0.01f);
    EXPECT_GT (result.audio.getRMSLevel (1, 0, 24000), 0.01f);
    // The release is over well before the end of the tail.
    EXPECT_LT (result.audio.getMagnitude (0, 47000, 1000), 1.0e-4f);
}

TEST (Vst3Interface, PitchBendAndPressureArriveThroughTheWrapper)
{
    // A VST3 host delivers bend and pressure only through the wrapper's MIDI-controller parameters:
    // a full bend must move the pitch by four octaves.
    auto renderWith = [] (int wheel)
    {
        HostedPlugin hosted;
        EXPECT_NE (hosted.instance, nullptr) << hosted.error;
        gribb::render::setOutputChannels (*hosted.instance, 1);
        juce::String error;
        gribb::render::setPlainValue (*gribb::render::findParameter (*hosted.instance, "oscType"), "Triangle", error);
        gribb::render::setPlainValue (*gribb::render::findParameter (*hosted.instance, "cutoff"), "20000", error);

        juce::MidiMessageSequence seq;
        seq.addEvent (juce::MidiMessage::pitchWheel (1, wheel), 0.0);
        seq.addEvent (juce::MidiMessage::noteOn (1, 45, 1.0f), 0.05);
        seq.addEvent (juce::MidiMessage::noteOff (1, 45), 0.6);
        gribb::render::RenderSettings settings;
        settings.numChannels = 1;
        settings.tailSeconds = 0.0;
        return gribb::render::renderSequence (*hosted.instance, seq, settings).audio;
    };

    auto crossings = [] (const juce::AudioBuffer<float>& b)
    {
        int n = 0;
        for (int i = 9600; i < 28800; ++i)
            n += (b.getSample (0, i - 1) < 0.0f && b.getSample (0, i) >= 0.0f) ? 1 : 0;
        return n / 0.4; // crossings per second over 0.2 s .. 0.6 s
    };

    EXPECT_NEAR (crossings (renderWith (8192)), 110.0, 5.0);
    EXPECT_NEAR (crossings (renderWith (16383)), 1760.0, 20.0);
}

TEST (Lv2Interface, LoadsAndPlays)
{
    HostedPlugin hosted (gribb::test::lv2Bundle());
    ASSERT_NE (hosted.instance, nullptr) << hosted.error;
    EXPECT_EQ (hosted.instance->getName(), "Gribb Tazo");
    ASSERT_TRUE (gribb::render::setOutputChannels (*hosted.instance, 2));

    gribb::render::RenderSettings settings;
    settings.tailSeconds = 0.1;
    const auto result = gribb::render::renderSequence (*hosted.instance, gribb::render::makeDemoPhrase(), settings);
    EXPECT_GT (result.audio.getRMSLevel (0, 0, result.audio.getNumSamples()), 0.001f);
    EXPECT_GT (result.audio.getRMSLevel (1, 0, result.audio.getNumSamples()), 0.001f);
}
