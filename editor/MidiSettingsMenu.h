#pragma once

#include <functional>
#include <memory>

#include <juce_gui_basics/juce_gui_basics.h>

#include "processor/PitchSettings.h"

/** The window's MIDI menu: the pitch-bend range (the current choice ticked), following the
    controller's MPE set-up, and a "Tuning" submenu that loads a Scala scale or keyboard mapping,
    goes back to standard tuning and shows the loaded scale's description. It fills any
    juce::PopupMenu (the window puts it where it likes) and handles the item chosen from it. A
    file that cannot be used changes nothing; the one-line message goes to onMessage. */
class MidiSettingsMenu
{
public:
    explicit MidiSettingsMenu (gribb::PitchSettings& settingsToUse) : settings (settingsToUse) {}

    /** The item IDs, all below lastItemId, so that a window menu can keep them apart from its
        other submenus' IDs. */
    enum ItemId
    {
        firstBendRangeItem = 100, // one per choice of PitchSettings::bendRangeChoices, in order
        followMpeItem = 200,
        loadScaleItem,
        loadMappingItem,
        standardTuningItem,
        lastItemId = standardTuningItem
    };

    /** Adds "Pitch-bend range", "Follow the controller's MPE set-up" and "Tuning" to the menu. */
    void addItemsTo (juce::PopupMenu& menu) const;

    /** Does what the item says; false for an ID that is not one of these items (0 included). The
        load items open a file chooser, asynchronously. */
    bool handle (int itemId);

    /** What the file chooser does with the chosen file. */
    void loadScale (const juce::File& file);
    void loadMapping (const juce::File& file);

    /** A one-line message for the window: a file that could not be used, or what was loaded. */
    std::function<void (const juce::String&)> onMessage;

    /** How a range shows in the menu: "±48 semitones (MPE)". */
    static juce::String describeRange (float semitones);

private:
    gribb::PitchSettings& settings;
    std::unique_ptr<juce::FileChooser> chooser;

    void chooseFile (bool scale);
    void tell (const juce::String& message) const
    {
        if (onMessage)
            onMessage (message);
    }
};
