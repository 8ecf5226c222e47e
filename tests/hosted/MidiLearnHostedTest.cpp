// MIDI learn through the built bundles, as a host drives them: a state that binds CC 21 to the
// cutoff is restored, the controller is sent as the host sends it, and the host sees the cutoff
// change as an edit of the plug-in. A VST3 host sends controllers as the parameters that JUCE's
// wrapper stands in for them ("MIDI CC <channel>|<number>"), either directly or by mapping the
// controllers of its MIDI stream through the plug-in's MIDI mapping; an LV2 host sends them in
// the MIDI port.
//
// The fixtures are the same sound with and without bindings; restoring either gives the same
// parameter values. Run against the bundle of the version before MIDI learn (GRIBB_VST3_PATH), the
// last test shows that that version loads a state with bindings as it loads one without.
#include <gtest/gtest.h>

#include <functional>

#include "ParameterSetter.h"
#include "engine/ParameterTable.h"
#include "PluginLoader.h"
#include "support/HostedPlugin.h"
#include "support/MessagePump.h"
#include "support/PluginBundles.h"
#include "support/StateFixtures.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

using gribb::test::stateFixture;

/** Where the plug-in's state property (its block in JUCE's base 64) lies in an LV2 state text. */
std::pair<int, int> lv2StateString (const juce::String& turtle)
{
    const juce::String key = ":StateString> \"";
    const int start = turtle.indexOf (key);
    if (start < 0)
        return { -1, -1 };
    return { start + key.length(), turtle.indexOf (start + key.length(), "\"") };
}

/** The XML text of a saved block (after its 8-byte header). */
juce::String xmlTextOf (const juce::MemoryBlock& block)
{
    return block.getSize() > 9 ? juce::String::fromUTF8 (static_cast<const char*> (block.getData()) + 8, (int) block.getSize() - 9) : juce::String();
}

struct LoadedPlugin
{
    explicit LoadedPlugin (const juce::File& bundle)
    {
        juce::String error;
        instance = loader.load (bundle, sampleRate, blockSize, error);
        EXPECT_NE (instance, nullptr) << error;
        if (instance != nullptr)
            instance->prepareToPlay (sampleRate, blockSize);
    }
    ~LoadedPlugin()
    {
        if (instance != nullptr)
            instance->releaseResources();
    }

    bool isVst3() const { return instance->getPluginDescription().pluginFormatName == "VST3"; }

    /** Restores the plug-in's own saved block, wrapped as the format's host state: JUCE's VST3
        host keeps the component's state in base 64 inside an XML envelope, its LV2 host keeps
        the plug-in's state property (the block in base 64) in a Turtle text. */
    void restore (const juce::MemoryBlock& pluginState)
    {
        const auto encoded = pluginState.toBase64Encoding();
        juce::MemoryBlock hostState;

        if (isVst3())
        {
            juce::XmlElement wrapper ("VST3PluginState");
            wrapper.createNewChildElement ("IComponent")->addTextElement (encoded);
            juce::AudioProcessor::copyXmlToBinary (wrapper, hostState);
        }
        else
        {
            juce::MemoryBlock current;
            instance->getStateInformation (current);
            auto text = current.toString();
            const auto [start, end] = lv2StateString (text);
            ASSERT_TRUE (start >= 0 && end > start) << text;
            text = text.substring (0, start) + encoded + text.substring (end);
            hostState.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
        }

        instance->setStateInformation (hostState.getData(), (int) hostState.getSize());
        // JUCE's LV2 host applies a state between two blocks.
        processBlock();
        gribb::test::pumpMessages (100);
    }

    /** The plug-in's own saved block, unwrapped from the format's host state. */
    juce::MemoryBlock pluginState()
    {
        juce::MemoryBlock hostState, block;
        instance->getStateInformation (hostState);
        if (isVst3())
        {
            if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize()))
                if (auto* component = xml->getChildByName ("IComponent"))
                    block.fromBase64Encoding (component->getAllSubText());
        }
        else
        {
            const auto text = hostState.toString();
            const auto [start, end] = lv2StateString (text);
            if (start >= 0 && end > start)
                block.fromBase64Encoding (text.substring (start, end));
        }
        return block;
    }

    void processBlock (juce::MidiBuffer midi = {})
    {
        juce::AudioBuffer<float> audio (juce::jmax (2, instance->getTotalNumOutputChannels()), blockSize);
        audio.clear();
        instance->processBlock (audio, midi);
    }

    gribb::render::PluginLoader loader;
    std::unique_ptr<juce::AudioPluginInstance> instance;
};

/** The host's side of one parameter: every value the plug-in reports for it. */
struct HostView final : juce::AudioProcessorParameter::Listener
{
    explicit HostView (juce::AudioProcessorParameter& p) : parameter (p) { parameter.addListener (this); }
    ~HostView() override { parameter.removeListener (this); }

    void parameterValueChanged (int, float value) override { reported.push_back (value); }
    void parameterGestureChanged (int, bool) override {}

    juce::AudioProcessorParameter& parameter;
    std::vector<float> reported;
};

} // namespace

TEST (MidiLearnHosted, ALearnedControllerReachesTheHostAsAnEditOfItsParameter)
{
    enum class Send { emulatedParameter, midiStream };
    struct Case
    {
        const char* what;
        std::function<juce::File()> bundle;
        Send send;
    };
    const Case cases[] = {
        { "VST3: the host sets the wrapper's parameter MIDI CC 2|21", gribb::test::vst3Bundle, Send::emulatedParameter },
        { "VST3: a controller in the host's MIDI, mapped to that parameter by the host", gribb::test::vst3Bundle, Send::midiStream },
        { "LV2: a controller in the MIDI port", gribb::test::lv2Bundle, Send::midiStream },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        LoadedPlugin plugin (c.bundle());
        ASSERT_NE (plugin.instance, nullptr);
        plugin.restore (stateFixture ("state-with-midi-learn.bin"));
        ASSERT_TRUE (xmlTextOf (plugin.pluginState()).contains ("<MIDI_LEARN>")) << "the bindings were not restored";

        auto* cutoff = gribb::render::findParameter (*plugin.instance, "cutoff");
        ASSERT_NE (cutoff, nullptr);
        const float before = cutoff->getValue();
        HostView host (*cutoff);

        // CC 21, value 100, on MIDI channel 3 (the binding takes any channel).
        if (c.send == Send::emulatedParameter)
        {
            auto* controller = gribb::test::parameterNamed (*plugin.instance, "MIDI CC 2|21");
            ASSERT_NE (controller, nullptr) << "the wrapper lists no parameter for the controller";
            controller->setValue (100.0f / 127.0f);
            plugin.processBlock();
        }
        else
        {
            juce::MidiBuffer midi;
            midi.addEvent (juce::MidiMessage::controllerEvent (3, 21, 100), 10);
            plugin.processBlock (midi);
        }

        // The plug-in writes the move on its message thread; the host hears of it from there or
        // in the next blocks it processes.
        for (int i = 0; i < 100 && host.reported.empty(); ++i)
        {
            gribb::test::pumpMessages (20);
            plugin.processBlock();
        }
        gribb::test::pumpMessages (50);

        if (host.reported.empty())
        {
            ADD_FAILURE() << "the host saw no change of the cutoff";
            continue;
        }
        // Each format's host normalises in its own way (an LV2 host knows no skew): compared in Hz.
        const auto& spec = gribb::parameterTable[gribb::cutoff];
        const auto expectedHz = juce::NormalisableRange<float> (spec.start, spec.end, spec.interval, spec.skew).convertFrom0to1 (100.0f / 127.0f);
        EXPECT_NEAR (cutoff->getText (host.reported.back(), 20).getFloatValue(), expectedHz, 0.11f);
        EXPECT_NEAR (cutoff->getText (cutoff->getValue(), 20).getFloatValue(), expectedHz, 0.11f);
        EXPECT_NE (cutoff->getValue(), before);
    }
}

TEST (MidiLearnHosted, AStateWithBindingsRestoresTheSameValuesAsWithout)
{
    for (const auto& bundle : { gribb::test::vst3Bundle(), gribb::test::lv2Bundle() })
    {
        SCOPED_TRACE (bundle.getFileName());
        std::vector<float> values[2];
        int index = 0;
        for (const auto* name : { "state-before-midi-learn.bin", "state-with-midi-learn.bin" })
        {
            LoadedPlugin plugin (bundle);
            ASSERT_NE (plugin.instance, nullptr);
            plugin.restore (stateFixture (name));
            auto* cutoff = gribb::render::findParameter (*plugin.instance, "cutoff");
            ASSERT_NE (cutoff, nullptr);
            EXPECT_EQ (cutoff->getText (cutoff->getValue(), 20).getFloatValue(), 3456.0f) << "the state was not restored";
            for (auto* p : plugin.instance->getParameters())
                values[index].push_back (p->getValue());
            ++index;
        }
        EXPECT_EQ (values[0], values[1]);
        EXPECT_GT (values[0].size(), 22u);
    }
}
