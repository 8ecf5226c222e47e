#include "processor/PitchSettings.h"

#include "processor/SavedStateText.h"

namespace gribb
{
const juce::Identifier PitchSettings::stateType ("PITCH_SETUP");

namespace
{
const juce::Identifier bendRangeProperty ("bendRange");
const juce::Identifier followMpeProperty ("followMpe");
const juce::Identifier channelRangesProperty ("channelRanges");
const juce::Identifier zonesProperty ("zones");
const juce::Identifier scaleProperty ("scale");
const juce::Identifier mappingProperty ("mapping");

/** The most the two texts may take in the saved state (written as XML attributes, so with
    escapes), leaving the rest of the saved state's room to the parameters and the learned
    controllers. */
constexpr int maxTuningStateBytes = 48 * 1024;

int escapedSize (const juce::String& text)
{
    int size = 0;
    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        size += c == '&' ? 5 : (c == '<' || c == '>') ? 4 : c == '"' ? 6 : c < 0x20 ? 5 : (int) juce::CharPointer_UTF8::getBytesRequiredFor (c);
    }
    return size;
}

float rangeFrom (const juce::var& value, float fallback)
{
    const auto text = value.toString().trim();
    if (text.isEmpty() || ! text.containsOnly ("0123456789.") || text.length() > 12)
        return fallback;
    return juce::jlimit (0.0f, MidiChannelSetup::maxBendRange, text.getFloatValue());
}

juce::String rangeText (float range) { return juce::String (range, 2).trimCharactersAtEnd ("0").trimCharactersAtEnd ("."); }
} // namespace

void PitchSettings::setBendRange (float semitones)
{
    auto setup = engine.getPitchSetup();
    setup.bendRange = juce::jlimit (0.0f, MidiChannelSetup::maxBendRange, semitones);
    setup.channelRanges = PitchSetup::filled (setup.bendRange);
    engine.setPitchSetup (setup);
}

void PitchSettings::setFollowMpe (bool shouldFollow)
{
    auto setup = engine.getPitchSetup();
    setup.followMpe = shouldFollow;
    engine.setPitchSetup (setup);
}

bool PitchSettings::fitsTheState (const juce::String& newScale, const juce::String& newMapping) const
{
    // JUCE's XML parser reads an attribute named "base64:..." as a block to decode, and the saved
    // state refuses such text: a file holding it would make the whole state unreadable.
    return escapedSize (newScale) + escapedSize (newMapping) <= maxTuningStateBytes
        && ! newScale.contains ("base64:") && ! newMapping.contains ("base64:");
}

bool PitchSettings::setScaleText (const juce::String& text, juce::String& message)
{
    auto parsed = scala::parseScale (text);
    if (! parsed.value.has_value())
    {
        message = parsed.error;
        return false;
    }
    if (! fitsTheState (text, mappingText))
    {
        message = "too large to keep with the project";
        return false;
    }
    scaleText = text;
    scale = std::move (parsed.value);
    updateTuning();
    return true;
}

bool PitchSettings::setMappingText (const juce::String& text, juce::String& message)
{
    auto parsed = scala::parseMapping (text);
    if (! parsed.value.has_value())
    {
        message = parsed.error;
        return false;
    }
    if (! fitsTheState (scaleText, text))
    {
        message = "too large to keep with the project";
        return false;
    }
    mappingText = text;
    mapping = std::move (parsed.value);
    updateTuning();
    return true;
}

bool PitchSettings::loadScaleFile (const juce::File& file, juce::String& message)
{
    auto text = scala::readTextFile (file, scala::maxScaleFileBytes);
    juce::String error = text.error;
    if (text.value.has_value() && setScaleText (*text.value, error))
        return true;
    message = file.getFileName() + ": " + error;
    return false;
}

bool PitchSettings::loadMappingFile (const juce::File& file, juce::String& message)
{
    auto text = scala::readTextFile (file, scala::maxMappingFileBytes);
    juce::String error = text.error;
    if (text.value.has_value() && setMappingText (*text.value, error))
        return true;
    message = file.getFileName() + ": " + error;
    return false;
}

void PitchSettings::useStandardTuning()
{
    scaleText = {};
    mappingText = {};
    scale.reset();
    mapping.reset();
    updateTuning();
}

void PitchSettings::updateTuning()
{
    if (isStandardTuning())
    {
        engine.setTuning (nullptr);
        return;
    }
    engine.setTuning (std::make_unique<Tuning> (scala::makeTuning (scale.has_value() ? *scale : scala::standardScale(),
                                                                   mapping.has_value() ? *mapping : KeyboardMapping {})));
}

void PitchSettings::addToState (juce::ValueTree& state) const
{
    const auto setup = engine.getPitchSetup();
    if (setup.isDefault() && isStandardTuning())
        return;

    juce::ValueTree element (stateType);
    element.setProperty (bendRangeProperty, rangeText (setup.bendRange), nullptr);
    if (setup.followMpe)
        element.setProperty (followMpeProperty, 1, nullptr);
    auto uniform = setup;
    uniform.channelRanges = PitchSetup::filled (setup.bendRange);
    if (uniform != setup)
    {
        juce::StringArray ranges;
        for (auto range : setup.channelRanges)
            ranges.add (rangeText (range));
        element.setProperty (channelRangesProperty, ranges.joinIntoString (" "), nullptr);
    }
    if (setup.lower.members > 0 || setup.upper.members > 0)
    {
        juce::StringArray zones;
        for (const auto& zone : { setup.lower, setup.upper })
        {
            zones.add (juce::String (zone.members));
            zones.add (rangeText (zone.memberRange));
            zones.add (rangeText (zone.masterRange));
        }
        element.setProperty (zonesProperty, zones.joinIntoString (" "), nullptr);
    }
    if (hasScale())
        element.setProperty (scaleProperty, scaleText, nullptr);
    if (hasMapping())
        element.setProperty (mappingProperty, mappingText, nullptr);
    state.appendChild (element, nullptr);
}

void PitchSettings::restoreFromState (juce::ValueTree& state)
{
    // The first element counts; every one is taken out of the tree.
    const auto element = state.getChildWithName (stateType);
    for (int i = state.getNumChildren(); --i >= 0;)
        if (state.getChild (i).hasType (stateType))
            state.removeChild (i, nullptr);

    PitchSetup setup;
    setup.bendRange = rangeFrom (element.getProperty (bendRangeProperty), MidiChannelSetup::defaultBendRange);
    setup.channelRanges = PitchSetup::filled (setup.bendRange);
    setup.followMpe = element.getProperty (followMpeProperty).toString().trim() == "1";

    const auto ranges = juce::StringArray::fromTokens (element.getProperty (channelRangesProperty).toString(), " ", "");
    if (ranges.size() == 16)
        for (int i = 0; i < 16; ++i)
            setup.channelRanges[(size_t) i] = rangeFrom (ranges[i], setup.bendRange);

    const auto zones = juce::StringArray::fromTokens (element.getProperty (zonesProperty).toString(), " ", "");
    if (zones.size() == 6)
    {
        auto zoneFrom = [&zones] (int first)
        {
            MidiChannelSetup::Zone zone;
            const auto members = zones[first].trim();
            zone.members = members.containsOnly ("0123456789") && members.length() <= 2 ? juce::jlimit (0, 15, members.getIntValue()) : 0;
            zone.memberRange = rangeFrom (zones[first + 1], MidiChannelSetup::defaultMemberBendRange);
            zone.masterRange = rangeFrom (zones[first + 2], MidiChannelSetup::defaultMasterBendRange);
            return zone;
        };
        setup.lower = zoneFrom (0);
        setup.upper = zoneFrom (3);
    }
    engine.setPitchSetup (setup);

    // A text that does not read leaves that part of the tuning standard.
    juce::String ignored;
    scaleText = {};
    mappingText = {};
    scale.reset();
    mapping.reset();
    if (const auto* text = element.getPropertyPointer (scaleProperty))
        setScaleText (text->toString(), ignored);
    if (const auto* text = element.getPropertyPointer (mappingProperty))
        setMappingText (text->toString(), ignored);
    updateTuning();
}
} // namespace gribb
