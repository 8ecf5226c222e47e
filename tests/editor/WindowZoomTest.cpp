// The window's zoom: where it comes from (a chosen zoom, the host's scale, the desktop's scale),
// the settings file that remembers a chosen zoom, and what the zoom does to the window: sizes and
// limits on screen are the pages' own times the zoom, on both pages. No display needed.
#include <gtest/gtest.h>

#include "editor/DesktopScale.h"
#include "editor/GribbTazoAudioProcessorEditor.h"
#include "editor/WindowSettings.h"
#include "editor/WindowZoom.h"
#include "processor/GribbTazoAudioProcessor.h"
#include "support/ScopedConfigHome.h"

using gribb::test::ScopedConfigHome;

namespace
{
struct DesktopCase
{
    const char* what;
    const char* gdkScale;
    const char* resources;
    std::optional<double> screenDpi;
    double scale;
};

// The first setting that is set decides: GDK_SCALE, then Xft.dpi, then the screen's DPI.
const DesktopCase desktopCases[] = {
    { "nothing set", "", "", std::nullopt, 1.0 },
    { "GDK_SCALE", "2", "", 96.0, 2.0 },
    { "GDK_SCALE before Xft.dpi", "1", "Xft.dpi:\t192\n", 192.0, 1.0 },
    { "Xft.dpi", "", "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n", 96.0, 2.0 },
    { "Xft.dpi at 144", "", "Xft.dpi: 144", std::nullopt, 1.5 },
    { "Xft.dpi before the screen", "", "Xft.dpi:\t96\n", 192.0, 1.0 },
    { "the screen's DPI", "", "", 192.0, 2.0 },
    { "a GDK_SCALE that is no whole number", "1.5", "Xft.dpi:\t120\n", std::nullopt, 1.25 },
    { "GDK_SCALE 0", "0", "", 144.0, 1.5 },
    { "an unreadable Xft.dpi", "", "Xft.dpi:\tbig\n", 96.0, 1.0 },
    { "an impossible Xft.dpi", "", "Xft.dpi:\t0\n", 192.0, 2.0 },
    { "another resource", "", "Xft.dpiX:\t192\n", std::nullopt, 1.0 },
    { "an impossible screen", "", "", 5000.0, 1.0 },
};

struct ChoiceCase
{
    std::optional<int> chosen;
    float host;
    double desktop;
    double zoom;
};

const ChoiceCase choiceCases[] = {
    { std::nullopt, 1.0f, 1.0, 1.0 },   // nothing anywhere
    { std::nullopt, 1.0f, 2.0, 2.0 },   // the desktop's scale
    { std::nullopt, 1.0f, 1.4, 1.5 },   // taken to the nearest offered zoom
    { std::nullopt, 1.0f, 7.0, 3.0 },
    { std::nullopt, 1.0f, 0.5, 1.0 },
    { std::nullopt, 2.0f, 1.0, 2.0 },   // the host's scale, where it passes one
    { std::nullopt, 1.33f, 2.0, 1.33 }, // as the host passes it
    { std::nullopt, 2.0f, 1.5, 2.0 },
    { std::nullopt, std::numeric_limits<float>::quiet_NaN(), 1.5, 1.5 },
    { std::nullopt, 40.0f, 1.25, 1.25 },
    { 150, 2.0f, 2.0, 1.5 },            // a chosen zoom wins
    { 100, 1.0f, 2.0, 1.0 },
    { 137, 1.0f, 2.0, 2.0 },            // not an offered zoom: no choice
};

double scaleOf (const juce::Component& c) { return (double) c.getTransform().mat00; }

juce::Rectangle<int> onScreen (const juce::Component& c) { return c.getBoundsInParent(); }

/** The zoom of a window with nothing chosen and no host scale: the desktop's (1.0 without a display). */
double defaultZoom() { return gribb::zoom::choose ({}, 1.0f, gribb::desktop::scaleFrom (gribb::desktop::readScaleSettings())); }
} // namespace

TEST (WindowZoom, DesktopScaleTakesTheFirstSettingThatIsSet)
{
    for (const auto& c : desktopCases)
    {
        SCOPED_TRACE (c.what);
        EXPECT_DOUBLE_EQ (gribb::desktop::scaleFrom ({ c.gdkScale, c.resources, c.screenDpi }), c.scale);
    }
}

TEST (WindowZoom, TheResourceDatabasesBytesAreReadAsLatin1WhateverTheyAre)
{
    // Bytes that are not UTF-8 (a lone continuation byte, a cut sequence, 0xff), a NUL and a
    // Latin-1 letter around the one setting that counts.
    const char bytes[] = "Xcursor.theme:\tAdwaita\n! caf\xe9 \x80\xc3\n\xff\xfe\x00\nXft.dpi:\t192\nXft.rgba: rgb";
    const auto text = gribb::desktop::resourceText (bytes, sizeof (bytes) - 1);

    EXPECT_TRUE (text.contains (juce::String::charToString ((juce::juce_wchar) 0xe9)));
    EXPECT_TRUE (text.endsWith ("Xft.rgba: rgb")) << "nothing is cut at a bad byte or a NUL";
    EXPECT_EQ (gribb::desktop::xftDpiIn (text), 192.0);
    EXPECT_TRUE (gribb::desktop::resourceText (bytes, 0).isEmpty());
}

TEST (WindowZoom, ChosenZoomWinsThenTheHostThenTheDesktop)
{
    for (const auto& c : choiceCases)
    {
        SCOPED_TRACE (juce::String (c.chosen.value_or (0)) + " " + juce::String (c.host) + " " + juce::String (c.desktop));
        EXPECT_NEAR (gribb::zoom::choose (c.chosen, c.host, c.desktop), c.zoom, 1.0e-6);
    }
}

TEST (WindowZoom, StepsWalkTheOfferedZoomsAndStopAtTheEnds)
{
    EXPECT_EQ (gribb::zoom::stepFrom (100, 1), 125);
    EXPECT_EQ (gribb::zoom::stepFrom (200, 1), 250);
    EXPECT_EQ (gribb::zoom::stepFrom (300, 1), 300);
    EXPECT_EQ (gribb::zoom::stepFrom (100, -1), 100);
    EXPECT_EQ (gribb::zoom::stepFrom (175, -1), 150);
    EXPECT_EQ (gribb::zoom::stepFrom (133, 1), 150); // from the nearest offered zoom
}

TEST (WindowSettings, AChosenZoomIsRememberedInTheUsersConfigurationFolder)
{
    ScopedConfigHome home;
    EXPECT_EQ (gribb::windowSettings::file(), home.settingsFile());
    EXPECT_FALSE (gribb::windowSettings::loadChosenZoom().has_value());

    for (const auto percent : gribb::zoom::percents)
    {
        ASSERT_TRUE (gribb::windowSettings::saveChosenZoom (percent));
        EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), percent);
    }

    // Nothing else is left in the folder: the write went through a file that was renamed.
    EXPECT_EQ (home.settingsFile().getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories
                                                                                | juce::File::ignoreHiddenFiles, "*"), 1);
    EXPECT_EQ (home.settingsFile().getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"), 1);
    EXPECT_FALSE (gribb::windowSettings::saveChosenZoom (137));
    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 300);
}

TEST (WindowSettings, ABadFileIsNoChoiceAndTheNextWriteReplacesIt)
{
    struct BadFile
    {
        const char* what;
        std::function<void (const juce::File&)> make;
    };

    const BadFile badFiles[] = {
        { "empty", [] (const juce::File& f) { f.replaceWithText ({}); } },
        { "binary", [] (const juce::File& f) { const char bytes[] = { 0, 1, 2, '\xff', '\xfe', 0x7f, '<', 0 };
                                                f.replaceWithData (bytes, sizeof (bytes)); } },
        { "half an element", [] (const juce::File& f) { f.replaceWithText ("<GribbTazoWindow zoom=\"15"); } },
        { "another file's root", [] (const juce::File& f) { f.replaceWithText ("<PARAMETERS zoom=\"150\"/>"); } },
        { "a zoom not offered", [] (const juce::File& f) { f.replaceWithText ("<GribbTazoWindow zoom=\"1000\"/>"); } },
        { "a zoom that is no number", [] (const juce::File& f) { f.replaceWithText ("<GribbTazoWindow zoom=\"150%\"/>"); } },
        { "far too large", [] (const juce::File& f) { f.replaceWithText ("<GribbTazoWindow zoom=\"150\"/>" + juce::String::repeatedString (" ", 100000)); } },
    };

    for (const auto& bad : badFiles)
    {
        SCOPED_TRACE (bad.what);
        ScopedConfigHome home;
        home.settingsFile().getParentDirectory().createDirectory();
        bad.make (home.settingsFile());

        EXPECT_FALSE (gribb::windowSettings::loadChosenZoom().has_value());
        {
            GribbTazoAudioProcessor processor;
            GribbTazoAudioProcessorEditor editor (processor);
            EXPECT_DOUBLE_EQ (editor.getZoom(), defaultZoom());
        }

        EXPECT_TRUE (gribb::windowSettings::saveChosenZoom (175));
        EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 175);
    }
}

TEST (WindowSettings, AFolderInTheFilesPlaceOrNoWayToWriteChangesNothing)
{
    {
        SCOPED_TRACE ("a folder where the file belongs");
        ScopedConfigHome home;
        home.settingsFile().createDirectory();
        EXPECT_FALSE (gribb::windowSettings::loadChosenZoom().has_value());

        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        EXPECT_DOUBLE_EQ (editor.getZoom(), defaultZoom());
        editor.chooseZoom (200); // shown, but it cannot be kept
        EXPECT_DOUBLE_EQ (editor.getZoom(), 2.0);
        EXPECT_TRUE (home.settingsFile().isDirectory());
        EXPECT_FALSE (gribb::windowSettings::loadChosenZoom().has_value());
    }
    {
        SCOPED_TRACE ("a file where the folder belongs");
        ScopedConfigHome home;
        home.folder.getChildFile ("Gribb Tazo").replaceWithText ("not a folder");
        EXPECT_FALSE (gribb::windowSettings::loadChosenZoom().has_value());
        EXPECT_FALSE (gribb::windowSettings::saveChosenZoom (150));
        EXPECT_EQ (home.folder.getChildFile ("Gribb Tazo").loadFileAsString(), "not a folder");
    }
    {
        SCOPED_TRACE ("a configuration folder that cannot be written");
        ScopedConfigHome home;
        const auto locked = home.folder.getChildFile ("locked");
        locked.createDirectory();
        ::setenv ("XDG_CONFIG_HOME", locked.getFullPathName().toRawUTF8(), 1);
        locked.setReadOnly (true);

        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        editor.chooseZoom (250);
        EXPECT_DOUBLE_EQ (editor.getZoom(), 2.5);
        // Root writes anyway; anyone else finds nothing written.
        if (! locked.hasWriteAccess())
        {
            EXPECT_FALSE (locked.getChildFile ("Gribb Tazo").exists());
        }
        locked.setReadOnly (false);
    }
}

TEST (WindowZoom, EachZoomScalesBothPagesAndTheirLimitsAndAPageSwitchKeepsIt)
{
    ScopedConfigHome home;

    for (const auto percent : gribb::zoom::percents)
    {
        SCOPED_TRACE (juce::String (percent) + " %");
        const auto z = percent / 100.0;
        const auto scaled = [z] (int units) { return juce::roundToInt (units * z); };

        GribbTazoAudioProcessor processor;
        GribbTazoAudioProcessorEditor editor (processor);
        editor.chooseZoom (percent);

        EXPECT_DOUBLE_EQ (editor.getZoom(), z);
        EXPECT_NEAR (scaleOf (editor), z, 1.0e-6);
        // The pages keep their own units; the screen sees them times the zoom.
        EXPECT_EQ (editor.getLocalBounds(), juce::Rectangle<int> (620, 560));
        EXPECT_EQ (onScreen (editor), juce::Rectangle<int> (scaled (620), scaled (560)));

        editor.showTechnicalPage (true);
        EXPECT_NEAR (scaleOf (editor), z, 1.0e-6);
        EXPECT_EQ (onScreen (editor), juce::Rectangle<int> (scaled (980), scaled (640)));

        editor.showTechnicalPage (false);
        EXPECT_EQ (onScreen (editor), juce::Rectangle<int> (scaled (620), scaled (560)));

        // The limits in the window's units, which the host sees through the same transform.
        auto* limits = editor.getConstrainer();
        ASSERT_NE (limits, nullptr);
        EXPECT_EQ (limits->getMinimumWidth(), 480);
        EXPECT_EQ (limits->getMinimumHeight(), 430);
        EXPECT_EQ (limits->getMaximumWidth(), 1600);
        EXPECT_EQ (limits->getMaximumHeight(), 1050);
    }
}

TEST (WindowZoom, TheHostsScaleIsUsedUntilTheUserChoosesAndAChoiceReachesTheNextWindow)
{
    ScopedConfigHome home;
    GribbTazoAudioProcessor processor;

    {
        GribbTazoAudioProcessorEditor editor (processor);
        editor.setScaleFactor (1.0f); // what JUCE's wrappers hand over when the host passes nothing
        EXPECT_DOUBLE_EQ (editor.getZoom(), defaultZoom());

        editor.setScaleFactor (2.0f);
        EXPECT_DOUBLE_EQ (editor.getZoom(), 2.0);
        EXPECT_NEAR (scaleOf (editor), 2.0, 1.0e-6);

        editor.chooseZoom (125);
        EXPECT_DOUBLE_EQ (editor.getZoom(), 1.25);
        editor.setScaleFactor (1.5f); // the host's scale no longer decides
        EXPECT_DOUBLE_EQ (editor.getZoom(), 1.25);
    }

    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 125);
    GribbTazoAudioProcessor another;
    GribbTazoAudioProcessorEditor next (another);
    EXPECT_DOUBLE_EQ (next.getZoom(), 1.25);
    next.setScaleFactor (2.0f);
    EXPECT_DOUBLE_EQ (next.getZoom(), 1.25);
}

TEST (WindowZoom, ZoomKeysStepThroughTheOfferedZooms)
{
    ScopedConfigHome home;
    GribbTazoAudioProcessor processor;
    GribbTazoAudioProcessorEditor editor (processor);
    editor.chooseZoom (100);

    struct KeyCase
    {
        juce::KeyPress key;
        bool handled;
        double zoom;
    };
    const auto ctrl = juce::ModifierKeys::commandModifier;
    const KeyCase keys[] = {
        { juce::KeyPress ('=', ctrl, '='), true, 1.25 },
        { juce::KeyPress ('+', ctrl | juce::ModifierKeys::shiftModifier, '+'), true, 1.5 },
        { juce::KeyPress ('=', 0, '='), false, 1.5 }, // without Ctrl the key is not the window's
        { juce::KeyPress ('-', ctrl, '-'), true, 1.25 },
        { juce::KeyPress ('0', ctrl, '0'), true, 1.0 },
        { juce::KeyPress ('-', ctrl, '-'), true, 1.0 },
        { juce::KeyPress ('a', ctrl, 'a'), false, 1.0 },
    };

    for (const auto& k : keys)
    {
        SCOPED_TRACE (k.key.getTextDescription());
        EXPECT_EQ (editor.keyPressed (k.key), k.handled);
        EXPECT_DOUBLE_EQ (editor.getZoom(), k.zoom);
    }
    EXPECT_EQ (gribb::windowSettings::loadChosenZoom(), 100);
}
