#pragma once

#include <limits>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

#include "editor/ProgramSelector.h"
#include "processor/FactoryProgramTable.h"
#include "processor/PresetLibrary.h"

class GribbTazoAudioProcessor;

/** The user presets in the window: the part of the program selector's menu below the factory
    programs (the presets in the preset folder, "Save preset…", "Open preset file…", "Show preset
    folder"), the name prompt, and the one-line message that reports a file that could not be
    opened or saved. The folder is scanned each time the menu opens, never before. Everything
    here runs on the message thread; dialogs are asynchronous and shown inside the window. */
class UserPresetControls : private juce::Timer
{
public:
    /** Menu item IDs, in three ranges that must not meet: the factory programs (program index +
        firstProgramId), the commands, and one ID for each listed preset. */
    enum ItemIds
    {
        firstProgramId = 1,
        savePresetId = 101,
        openPresetFileId = 102,
        showPresetFolderId = 103,
        firstPresetId = 1001
    };
    static_assert (firstProgramId > 0, "JUCE's menus and combo boxes take 0 for no item");
    static_assert (firstProgramId + gribb::numFactoryPrograms <= savePresetId,
                   "the factory programs' item IDs run into the commands'");
    static_assert (savePresetId < openPresetFileId && openPresetFileId < showPresetFolderId
                       && showPresetFolderId < firstPresetId,
                   "the commands' item IDs run into the presets'");
    static_assert (firstPresetId <= std::numeric_limits<int>::max() - gribb::maxListedPresets,
                   "the listed presets' item IDs do not fit in an int");

    UserPresetControls (GribbTazoAudioProcessor& processor, ProgramSelector& selector, juce::Component& window);
    ~UserPresetControls() override;

    /** Adds the user presets and the commands to the selector's menu. */
    void extendMenu (juce::PopupMenu& menu);
    /** Acts on a chosen item that extendMenu added. */
    void itemChosen (int itemId);

    /** Loads a preset file; the selector then shows its name, or the message tells why not. */
    void loadPreset (const juce::File& file);
    /** Asks for a name (offering the loaded user preset's) and saves the current sound. */
    void savePreset();
    void openPresetFile();
    void showPresetFolder();

    /** Shows the selector's text for the loaded user preset, if there is one. */
    void showLoadedPreset();
    /** Places the message line (while it shows) over that strip of the window. */
    void layOut (juce::Rectangle<int> messageArea);

    void showMessage (const juce::String& text);
    void clearMessage();

    // For tests: the line of text, which is a child of the window only while it shows a message,
    // and the dialog that is open, if any.
    juce::Label& getMessageLabel() noexcept { return message; }
    juce::AlertWindow* getOpenDialog() const noexcept { return dialog.getComponent(); }

private:
    void timerCallback() override;
    void save (const juce::String& name);
    void showDialog (juce::AlertWindow* window, std::function<void (int)> onClose);

    GribbTazoAudioProcessor& processorRef;
    ProgramSelector& selector;
    juce::Component& window;
    juce::Label message;
    juce::Component::SafePointer<juce::AlertWindow> dialog;
    std::unique_ptr<juce::FileChooser> chooser;
    std::vector<juce::File> listedFiles; // by item ID - firstPresetId, for the menu last opened

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UserPresetControls)
};
