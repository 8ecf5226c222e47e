#include "PitchOptions.h"

#include "engine/ScalaFile.h"

namespace gribb::render
{
namespace
{
constexpr juce::uint32 xmlBlockMagic = 0x21324356; // "VC2!", the start of a state the plug-in writes
constexpr int xmlBlockHeaderBytes = 8;

/** Length of the plug-in's own state block at the start of `data` (header, text and its ending
    zero, as copyXmlToBinary writes it), or 0 if it does not start there. */
size_t pluginBlockLength (const juce::MemoryBlock& data)
{
    if (data.getSize() <= (size_t) xmlBlockHeaderBytes || juce::ByteOrder::littleEndianInt (data.getData()) != xmlBlockMagic)
        return 0;
    const auto stored = (size_t) juce::ByteOrder::littleEndianInt (juce::addBytesToPointer (data.getData(), 4));
    return juce::jmin (data.getSize(), stored + xmlBlockHeaderBytes + 1);
}

/** The plug-in's state block with the pitch element replaced. */
bool rewritePluginBlock (juce::MemoryBlock& data, const PitchOptions& options)
{
    const auto length = pluginBlockLength (data);
    if (length == 0)
        return false;

    // The VST3 host wraps states in the same envelope: only Gribb Tazo's own tree is ours.
    auto xml = juce::AudioProcessor::getXmlFromBinary (data.getData(), (int) length);
    if (xml == nullptr || ! xml->hasTagName ("PARAMETERS"))
        return false;

    auto* element = xml->getChildByName ("PITCH_SETUP");
    if (element == nullptr)
        element = xml->createNewChildElement ("PITCH_SETUP");

    if (options.bendRange.has_value())
    {
        const auto range = juce::String (*options.bendRange, 2).trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
        element->setAttribute ("bendRange", range);
        element->removeAttribute ("channelRanges");
    }
    else if (! element->hasAttribute ("bendRange"))
    {
        element->setAttribute ("bendRange", "48");
    }
    if (options.followMpe)
        element->setAttribute ("followMpe", 1);
    if (options.scaleText.isNotEmpty())
        element->setAttribute ("scale", options.scaleText);
    if (options.mappingText.isNotEmpty())
        element->setAttribute ("mapping", options.mappingText);

    juce::MemoryBlock rewritten;
    juce::AudioProcessor::copyXmlToBinary (*xml, rewritten);
    rewritten.append (juce::addBytesToPointer (data.getData(), length), data.getSize() - length);
    data = rewritten;
    return true;
}

/** A host's state holds the plug-in's block in base64 (JUCE's own encoding): the VST3 host in
    an XML element's text, the LV2 host as a quoted string of its Turtle text. */
bool rewriteBase64 (juce::String& encoded, const PitchOptions& options)
{
    juce::MemoryBlock block;
    if (! block.fromBase64Encoding (encoded) || ! rewritePluginBlock (block, options))
        return false;
    encoded = block.toBase64Encoding();
    return true;
}

bool rewriteHostState (juce::MemoryBlock& state, const PitchOptions& options)
{
    if (rewritePluginBlock (state, options))
        return true;

    if (auto xml = juce::AudioProcessor::getXmlFromBinary (state.getData(), (int) state.getSize()))
    {
        for (auto* child : xml->getChildIterator())
        {
            auto text = child->getAllSubText().trim();
            if (rewriteBase64 (text, options))
            {
                child->deleteAllTextElements();
                child->addTextElement (text);
                state.reset();
                juce::AudioProcessor::copyXmlToBinary (*xml, state);
                return true;
            }
        }
        return false;
    }

    auto text = state.toString();
    for (int start = text.indexOfChar ('"'); start >= 0; start = text.indexOfChar (start + 1, '"'))
    {
        const int end = text.indexOfChar (start + 1, '"');
        if (end < 0)
            break;
        auto encoded = text.substring (start + 1, end);
        if (rewriteBase64 (encoded, options))
        {
            text = text.substring (0, start + 1) + encoded + text.substring (end);
            state.reset();
            state.append (text.toRawUTF8(), text.getNumBytesAsUTF8());
            return true;
        }
        start = end;
    }
    return false;
}

bool readFile (const juce::File& file, int maxBytes, bool isScale, juce::String& text, juce::String& error)
{
    auto read = scala::readTextFile (file, maxBytes);
    juce::String problem = read.error;
    if (read.value.has_value())
    {
        problem = isScale ? scala::parseScale (*read.value).error : scala::parseMapping (*read.value).error;
        if (problem.isEmpty())
        {
            text = *read.value;
            return true;
        }
    }
    error = juce::String (isScale ? "scale file '" : "keyboard mapping file '") + file.getFullPathName() + "': " + problem;
    return false;
}
} // namespace

bool takePitchOption (const juce::StringArray& args, int& index, PitchOptions& options, bool& handled, juce::String& error)
{
    const auto& arg = args[index];
    handled = arg == "--bend-range" || arg == "--mpe" || arg == "--scl" || arg == "--kbm";
    if (! handled)
        return false;

    if (arg == "--mpe")
    {
        options.followMpe = true;
        return true;
    }

    if (index + 1 >= args.size())
    {
        error = "option " + arg + " needs a value";
        return false;
    }
    const auto value = args[++index];

    if (arg == "--bend-range")
    {
        const auto t = value.trim();
        if (t.isEmpty() || ! t.containsOnly ("0123456789.") || t.getFloatValue() > 96.0f)
        {
            error = "bad value '" + value + "' for --bend-range (expected 0 .. 96 semitones)";
            return false;
        }
        options.bendRange = t.getFloatValue();
        return true;
    }

    (arg == "--scl" ? options.scaleFile : options.mappingFile) = juce::File::getCurrentWorkingDirectory().getChildFile (value);
    return true;
}

juce::String pitchOptionsUsage()
{
    return "  --bend-range N       the instrument's pitch-bend range in semitones, 0..96 (default 48)\n"
           "  --mpe                follow the controller's MPE set-up (MPE configuration messages)\n"
           "  --scl FILE           tune to a Scala scale (.scl)\n"
           "  --kbm FILE           map the keys with a Scala keyboard mapping (.kbm)\n";
}

bool readPitchFiles (PitchOptions& options, juce::String& error)
{
    if (options.scaleFile != juce::File() && ! readFile (options.scaleFile, scala::maxScaleFileBytes, true, options.scaleText, error))
        return false;
    if (options.mappingFile != juce::File() && ! readFile (options.mappingFile, scala::maxMappingFileBytes, false, options.mappingText, error))
        return false;
    return true;
}

bool applyPitchOptions (juce::AudioPluginInstance& plugin, const PitchOptions& options, juce::String& error)
{
    if (! options.any())
        return true;

    juce::MemoryBlock state;
    plugin.getStateInformation (state);
    if (! rewriteHostState (state, options))
    {
        error = "the plug-in " + plugin.getName() + " does not take the pitch options (--bend-range, --mpe, --scl, --kbm)";
        return false;
    }
    plugin.setStateInformation (state.getData(), (int) state.getSize());
    return true;
}
} // namespace gribb::render
