#include "editor/UserPresetControls.h"

#include "processor/GribbTazoAudioProcessor.h"
#include "processor/UserPresets.h"

namespace
{
constexpr int messageSeconds = 12;

void addFolder (juce::PopupMenu& menu, const gribb::PresetFolder& folder, const juce::File& loaded,
                std::vector<juce::File>& listed, int firstId)
{
    for (const auto& sub : folder.subfolders)
    {
        juce::PopupMenu subMenu;
        addFolder (subMenu, sub, loaded, listed, firstId);
        menu.addSubMenu (sub.name, subMenu);
    }

    for (const auto& file : folder.presets)
    {
        listed.push_back (file);
        menu.addItem (firstId + (int) listed.size() - 1, gribb::presetNameOf (file.getParentDirectory(), file), true, file == loaded);
    }
}
} // namespace

UserPresetControls::UserPresetControls (GribbTazoAudioProcessor& processor, ProgramSelector& programSelector,
                                        juce::Component& parentWindow)
    : processorRef (processor), selector (programSelector), window (parentWindow)
{
    message.setJustificationType (juce::Justification::centred);
    message.setFont (juce::FontOptions (14.0f));
    message.setColour (juce::Label::textColourId, juce::Colours::white);
    message.setColour (juce::Label::backgroundColourId, juce::Colour (0xe0a02020));
    message.setMinimumHorizontalScale (0.6f);
    message.setInterceptsMouseClicks (false, false);
}

UserPresetControls::~UserPresetControls()
{
    if (auto* open = dialog.getComponent())
        delete open;
}

void UserPresetControls::extendMenu (juce::PopupMenu& menu)
{
    listedFiles.clear();
    const auto folder = gribb::userPresetFolder();
    const auto presets = gribb::scanPresetFolder (folder);

    menu.addSeparator();
    addFolder (menu, presets, processorRef.getLoadedUserPreset(), listedFiles, firstPresetId);

    if (! presets.presets.empty() || ! presets.subfolders.empty())
        menu.addSeparator();

    menu.addItem (savePresetId, juce::String::fromUTF8 ("Save preset\xe2\x80\xa6"));
    menu.addItem (openPresetFileId, juce::String::fromUTF8 ("Open preset file\xe2\x80\xa6"));
    menu.addItem (showPresetFolderId, "Show preset folder");
}

void UserPresetControls::itemChosen (int itemId)
{
    if (itemId >= firstPresetId && itemId - firstPresetId < (int) listedFiles.size())
        loadPreset (listedFiles[(size_t) (itemId - firstPresetId)]);
    else if (itemId == savePresetId)
        savePreset();
    else if (itemId == openPresetFileId)
        openPresetFile();
    else if (itemId == showPresetFolderId)
        showPresetFolder();
}

void UserPresetControls::loadPreset (const juce::File& file)
{
    if (const auto problem = gribb::loadUserPresetFile (processorRef, file); problem.isNotEmpty())
    {
        showMessage (problem);
        showLoadedPreset();
        return;
    }

    clearMessage();
    showLoadedPreset();
}

void UserPresetControls::showLoadedPreset()
{
    if (processorRef.getLoadedUserPreset() != juce::File())
        selector.setText (gribb::presetNameOf (gribb::userPresetFolder(), processorRef.getLoadedUserPreset()), juce::dontSendNotification);
    else
        selector.setSelectedId (processorRef.getCurrentProgram() + firstProgramId, juce::dontSendNotification);
}

void UserPresetControls::showDialog (juce::AlertWindow* newDialog, std::function<void (int)> onClose)
{
    if (auto* open = dialog.getComponent())
        delete open;

    dialog = newDialog;
    window.addAndMakeVisible (newDialog);
    newDialog->setCentrePosition (window.getLocalBounds().getCentre());
    newDialog->enterModalState (true, juce::ModalCallbackFunction::create (std::move (onClose)), true);
}

void UserPresetControls::savePreset()
{
    const auto offered = processorRef.getLoadedUserPreset() != juce::File()
                             ? gribb::presetNameOf (gribb::userPresetFolder(), processorRef.getLoadedUserPreset())
                             : juce::String();

    auto* prompt = new juce::AlertWindow ("Save preset", "Name of the preset (a slash makes a subfolder):",
                                          juce::MessageBoxIconType::NoIcon);
    prompt->addTextEditor ("name", offered);
    prompt->addButton ("Save", 1, juce::KeyPress (juce::KeyPress::returnKey));
    prompt->addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));

    juce::Component::SafePointer<juce::AlertWindow> safePrompt (prompt);
    showDialog (prompt, [this, safePrompt] (int result)
    {
        if (result != 1 || safePrompt == nullptr)
            return;

        const auto name = safePrompt->getTextEditorContents ("name").trim();
        // Ask again only once this prompt has gone.
        juce::MessageManager::callAsync ([this, name, alive = juce::Component::SafePointer<juce::Component> (&selector)]
        {
            if (alive != nullptr)
                save (name);
        });
    });

    if (auto* nameEditor = prompt->getTextEditor ("name"))
    {
        nameEditor->selectAll();
        nameEditor->grabKeyboardFocus();
    }
}

void UserPresetControls::save (const juce::String& name)
{
    if (const auto problem = gribb::presetNameProblem (name); problem.isNotEmpty())
    {
        showMessage (problem);
        return;
    }

    const auto folder = gribb::userPresetFolder();
    const auto file = gribb::presetFileFor (folder, name);

    if (! file.existsAsFile())
    {
        const auto problem = gribb::saveUserPreset (processorRef, folder, name);
        problem.isNotEmpty() ? showMessage (problem) : clearMessage();
        showLoadedPreset();
        return;
    }

    auto* question = new juce::AlertWindow ("Replace preset?",
                                            "\"" + gribb::presetNameOf (folder, file) + "\" already exists. Replace it with the current sound?",
                                            juce::MessageBoxIconType::QuestionIcon);
    question->addButton ("Replace", 1, juce::KeyPress (juce::KeyPress::returnKey));
    question->addButton ("Cancel", 0, juce::KeyPress (juce::KeyPress::escapeKey));

    showDialog (question, [this, folder, name] (int result)
    {
        if (result != 1)
            return;

        const auto problem = gribb::saveUserPreset (processorRef, folder, name);
        problem.isNotEmpty() ? showMessage (problem) : clearMessage();
        showLoadedPreset();
    });
}

void UserPresetControls::openPresetFile()
{
    const auto folder = gribb::userPresetFolder();
    chooser = std::make_unique<juce::FileChooser> ("Open preset file", folder.isDirectory() ? folder : juce::File(),
                                                   juce::String ("*") + gribb::userPresetExtension);
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [this] (const juce::FileChooser& fc)
    {
        if (const auto file = fc.getResult(); file != juce::File())
            loadPreset (file);
    });
}

void UserPresetControls::showPresetFolder()
{
    const auto folder = gribb::userPresetFolder();

    if (const auto created = folder.createDirectory(); created.failed())
        showMessage ("Could not create the preset folder " + folder.getFullPathName() + ": " + created.getErrorMessage() + ".");
    else if (! folder.startAsProcess())
        showMessage ("Could not open " + folder.getFullPathName() + " in a file manager.");
}

void UserPresetControls::showMessage (const juce::String& text)
{
    message.setText (text.replaceCharacters ("\r\n", "  "), juce::dontSendNotification);

    if (message.getParentComponent() == nullptr)
        window.addAndMakeVisible (message);

    message.toFront (false);
    window.resized();
    startTimer (messageSeconds * 1000);
}

void UserPresetControls::clearMessage()
{
    stopTimer();
    message.setText ({}, juce::dontSendNotification);
    window.removeChildComponent (&message);
}

void UserPresetControls::layOut (juce::Rectangle<int> messageArea)
{
    message.setBounds (messageArea);
}

void UserPresetControls::timerCallback()
{
    clearMessage();
}
