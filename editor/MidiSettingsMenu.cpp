#include "editor/MidiSettingsMenu.h"

#include <cmath>
#include <iterator>

namespace
{
constexpr int numBendRangeChoices = (int) std::size (gribb::PitchSettings::bendRangeChoices);
static_assert (MidiSettingsMenu::firstBendRangeItem + numBendRangeChoices < MidiSettingsMenu::followMpeItem,
               "the bend-range choices' item IDs run into the other items'");
} // namespace

juce::String MidiSettingsMenu::describeRange (float semitones)
{
    const auto amount = juce::exactlyEqual (semitones, std::round (semitones)) ? juce::String ((int) semitones) : juce::String (semitones, 2);
    auto text = juce::String (juce::CharPointer_UTF8 ("\xc2\xb1")) + amount + (juce::exactlyEqual (semitones, 1.0f) ? " semitone" : " semitones");
    if (juce::exactlyEqual (semitones, 48.0f))
        text << " (MPE controllers)";
    else if (juce::exactlyEqual (semitones, 2.0f))
        text << " (a keyboard's wheel)";
    return text;
}

void MidiSettingsMenu::addItemsTo (juce::PopupMenu& menu) const
{
    juce::PopupMenu ranges;
    const auto current = settings.getBendRange();
    bool offered = false;
    for (int i = 0; i < numBendRangeChoices; ++i)
    {
        const auto range = gribb::PitchSettings::bendRangeChoices[i];
        const bool ticked = juce::exactlyEqual (range, current);
        offered = offered || ticked;
        ranges.addItem (firstBendRangeItem + i, describeRange (range), true, ticked);
    }
    // A range that a saved state or the render host chose, and the menu does not offer.
    if (! offered)
        ranges.addItem (firstBendRangeItem + numBendRangeChoices, describeRange (current), false, true);
    menu.addSubMenu ("Pitch-bend range", ranges);

    menu.addItem (followMpeItem, "Follow the controller's MPE set-up", true, settings.getFollowMpe());

    juce::PopupMenu tuning;
    tuning.addItem (loadScaleItem, juce::String (juce::CharPointer_UTF8 ("Load scale (.scl)\xe2\x80\xa6")));
    tuning.addItem (loadMappingItem, juce::String (juce::CharPointer_UTF8 ("Load keyboard mapping (.kbm)\xe2\x80\xa6")));
    tuning.addItem (standardTuningItem, "Standard tuning (12-TET, A4 = 440 Hz)", true, settings.isStandardTuning());
    if (! settings.isStandardTuning())
    {
        tuning.addSeparator();
        if (settings.hasScale())
        {
            const auto description = settings.getScaleDescription().trim();
            tuning.addSectionHeader ("Scale: " + (description.isNotEmpty() ? description : juce::String ("(no description)")));
        }
        if (settings.hasMapping())
            tuning.addSectionHeader ("Keyboard mapping loaded");
    }
    menu.addSubMenu ("Tuning", tuning);
}

bool MidiSettingsMenu::handle (int itemId)
{
    if (itemId >= firstBendRangeItem && itemId < firstBendRangeItem + numBendRangeChoices)
    {
        settings.setBendRange (gribb::PitchSettings::bendRangeChoices[itemId - firstBendRangeItem]);
        return true;
    }
    switch (itemId)
    {
        case followMpeItem:
            settings.setFollowMpe (! settings.getFollowMpe());
            return true;
        case loadScaleItem:
            chooseFile (true);
            return true;
        case loadMappingItem:
            chooseFile (false);
            return true;
        case standardTuningItem:
            settings.useStandardTuning();
            tell ("Standard tuning (12-TET, A4 = 440 Hz)");
            return true;
        default:
            return false;
    }
}

void MidiSettingsMenu::chooseFile (bool scale)
{
    chooser = std::make_unique<juce::FileChooser> (scale ? "Load a Scala scale" : "Load a Scala keyboard mapping",
                                                   juce::File::getSpecialLocation (juce::File::userHomeDirectory),
                                                   scale ? "*.scl" : "*.kbm");
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [this, scale] (const juce::FileChooser& c)
                          {
                              const auto file = c.getResult();
                              if (file == juce::File())
                                  return;
                              if (scale)
                                  loadScale (file);
                              else
                                  loadMapping (file);
                          });
}

void MidiSettingsMenu::loadScale (const juce::File& file)
{
    juce::String message;
    if (settings.loadScaleFile (file, message))
        tell ("Scale: " + settings.getScaleDescription().trim() + " (" + file.getFileName() + ")");
    else
        tell (message);
}

void MidiSettingsMenu::loadMapping (const juce::File& file)
{
    juce::String message;
    if (settings.loadMappingFile (file, message))
        tell ("Keyboard mapping: " + file.getFileName());
    else
        tell (message);
}
