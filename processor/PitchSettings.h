#pragma once

#include <juce_data_structures/juce_data_structures.h>

#include "engine/GribbEngine.h"
#include "engine/ScalaFile.h"

namespace gribb
{
/** The instance's pitch settings, on the message thread: the pitch-bend range, whether MPE
    configuration messages are followed, and the tuning from a Scala scale and keyboard mapping.
    It hands them to the engine and keeps them in the saved state as one element of their own,
    written only when something differs from a new instance, so a default state is unchanged.
    The tuning is kept as the files' text, so a project opens with its tuning on any machine. */
class PitchSettings
{
public:
    explicit PitchSettings (GribbEngine& engineToUse) : engine (engineToUse) {}

    /** The ranges the menu offers, in semitones. */
    static constexpr float bendRangeChoices[] = { 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 7.0f, 12.0f, 24.0f, 36.0f, 48.0f, 96.0f };

    /** Every channel's range; forgets the ranges that RPN 0 set. */
    void setBendRange (float semitones);
    float getBendRange() const noexcept { return engine.getPitchSetup().bendRange; }

    /** Following MPE configuration messages, or the instrument's own set-up on all channels. */
    void setFollowMpe (bool shouldFollow);
    bool getFollowMpe() const noexcept { return engine.getPitchSetup().followMpe; }

    /** Loads a .scl or .kbm file. On failure nothing changes and the message says why, in one line
        that names the file. */
    bool loadScaleFile (const juce::File& file, juce::String& message);
    bool loadMappingFile (const juce::File& file, juce::String& message);
    /** The same from the files' text (as a saved state holds it). */
    bool setScaleText (const juce::String& text, juce::String& message);
    bool setMappingText (const juce::String& text, juce::String& message);
    /** Standard tuning: 12-TET, A4 = 440 Hz, no scale or mapping. */
    void useStandardTuning();

    bool hasScale() const noexcept { return scaleText.isNotEmpty(); }
    bool hasMapping() const noexcept { return mappingText.isNotEmpty(); }
    bool isStandardTuning() const noexcept { return ! hasScale() && ! hasMapping(); }
    /** The loaded scale's description (its file's first line), or empty. */
    juce::String getScaleDescription() const { return scale.has_value() ? scale->description : juce::String(); }

    void addToState (juce::ValueTree& state) const;
    /** Takes the element out of the tree and applies it; without one, the defaults. */
    void restoreFromState (juce::ValueTree& state);

    static const juce::Identifier stateType;

private:
    GribbEngine& engine;
    juce::String scaleText, mappingText;
    std::optional<ScalaScale> scale;
    std::optional<KeyboardMapping> mapping;

    void updateTuning();
    bool fitsTheState (const juce::String& newScale, const juce::String& newMapping) const;
};
} // namespace gribb
