#pragma once

#include <cmath>
#include <vector>

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb::test
{
/** The pitch cases that the processor tests and the render host tests both play: one note with
    the messages before it, the settings to make, and the frequency it must sound at (0: silent).
    The expected frequencies are worked out here from the musical intent, not from the engine. */
struct PitchCase
{
    const char* name;
    float bendRange = 0.0f;    // the setting; 0 leaves the default
    bool followMpe = false;
    const char* scale = nullptr;   // .scl text
    const char* mapping = nullptr; // .kbm text
    std::vector<juce::MidiMessage> before; // sent before the note, in order
    int channel = 1;
    int note = 60;
    double expectedHz = 0.0;
};

inline constexpr double middleCHz = 261.62556530059862; // 440 Hz × 2^(-9/12)

inline std::vector<juce::MidiMessage> rpn0 (int channel, int semitones, int cents = -1)
{
    std::vector<juce::MidiMessage> m { juce::MidiMessage::controllerEvent (channel, 101, 0), juce::MidiMessage::controllerEvent (channel, 100, 0),
                                       juce::MidiMessage::controllerEvent (channel, 6, semitones) };
    if (cents >= 0)
        m.push_back (juce::MidiMessage::controllerEvent (channel, 38, cents));
    return m;
}

inline std::vector<juce::MidiMessage> withBend (std::vector<juce::MidiMessage> m, int channel, int value)
{
    m.push_back (juce::MidiMessage::pitchWheel (channel, value));
    return m;
}

inline std::vector<juce::MidiMessage> mcm (int masterChannel, int members)
{
    return { juce::MidiMessage::controllerEvent (masterChannel, 101, 0), juce::MidiMessage::controllerEvent (masterChannel, 100, 6),
             juce::MidiMessage::controllerEvent (masterChannel, 6, members) };
}

inline std::vector<juce::MidiMessage> joined (std::vector<juce::MidiMessage> a, const std::vector<juce::MidiMessage>& b)
{
    a.insert (a.end(), b.begin(), b.end());
    return a;
}

inline constexpr const char* edo19Scale = "! 19-EDO\n19 equal divisions of the octave\n19\n"
                                          "63.15789\n126.31579\n189.47368\n252.63158\n315.78947\n378.94737\n442.10526\n505.26316\n"
                                          "568.42105\n631.57895\n694.73684\n757.89474\n821.05263\n884.21053\n947.36842\n1010.52632\n"
                                          "1073.68421\n1136.84211\n2/1\n";
inline constexpr const char* justMajorScale = "! just major, in ratios\nJust major\n 7\n9/8\n5/4\n4/3\n3/2\n5/3\n15/8\n2/1\n";
/** Seven white keys from D (62) up, A (69) at 432 Hz, black keys unmapped. */
inline constexpr const char* whiteKeys432Mapping = "! white keys from D, A = 432 Hz\n12\n0\n127\n62\n69\n432.0\n7\n"
                                                   "0\nx\n1\nx\n2\n3\nx\n4\nx\n5\nx\n6\n";

inline std::vector<PitchCase> pitchCases()
{
    const double up2 = std::exp2 (2.0 / 12), up12 = 2.0, up24 = 4.0;
    return {
        { "RPN 0 = 2, full bend up", 0, false, nullptr, nullptr, withBend (rpn0 (1, 2), 1, 16383), 1, 60, middleCHz * up2 },
        { "RPN 0 = 2, full bend down", 0, false, nullptr, nullptr, withBend (rpn0 (1, 2), 1, 0), 1, 60, middleCHz / up2 },
        { "RPN 0 = 12, full bend up", 0, false, nullptr, nullptr, withBend (rpn0 (3, 12), 3, 16383), 3, 60, middleCHz * up12 },
        { "RPN 0 = 12, full bend down", 0, false, nullptr, nullptr, withBend (rpn0 (3, 12), 3, 0), 3, 60, middleCHz / up12 },
        { "RPN 0 = 24, full bend up", 0, false, nullptr, nullptr, withBend (rpn0 (16, 24), 16, 16383), 16, 60, middleCHz * up24 },
        { "RPN 0 = 24, full bend down", 0, false, nullptr, nullptr, withBend (rpn0 (16, 24), 16, 0), 16, 60, middleCHz / up24 },
        { "RPN 0 = 1 + 50 cents, full bend up", 0, false, nullptr, nullptr, withBend (rpn0 (2, 1, 50), 2, 16383), 2, 60, middleCHz * std::exp2 (1.5 / 12) },
        { "setting 2, no RPN, full bend up", 2, false, nullptr, nullptr, withBend ({}, 1, 16383), 1, 60, middleCHz * up2 },
        { "setting 2, no RPN, full bend down", 2, false, nullptr, nullptr, withBend ({}, 1, 0), 1, 60, middleCHz / up2 },
        { "default 48, half bend up", 0, false, nullptr, nullptr, withBend ({}, 1, 8192 + 4096), 1, 57, 220.0 * std::exp2 (48.0 * 4096 / 8191 / 12) },
        { "19-EDO, key 65", 0, false, edo19Scale, nullptr, {}, 1, 65, middleCHz * std::exp2 (5.0 / 19) },
        { "19-EDO, key 65, RPN 0 = 2, full bend up", 0, false, edo19Scale, nullptr, withBend (rpn0 (1, 2), 1, 16383), 1, 65, middleCHz * std::exp2 (5.0 / 19) * up2 },
        { "just major in ratios, key 64 (3/2)", 0, false, justMajorScale, nullptr, {}, 1, 64, middleCHz * 1.5 },
        { "just major, key 59 (15/16)", 0, false, justMajorScale, nullptr, {}, 1, 59, middleCHz * 15.0 / 16.0 },
        { "mapping: A = 432 Hz", 0, false, justMajorScale, whiteKeys432Mapping, {}, 1, 69, 432.0 },
        { "mapping: middle note D", 0, false, justMajorScale, whiteKeys432Mapping, {}, 1, 62, 288.0 },
        { "mapping: E", 0, false, justMajorScale, whiteKeys432Mapping, {}, 1, 64, 324.0 },
        { "mapping: unmapped key 63 is silent", 0, false, justMajorScale, whiteKeys432Mapping, {}, 1, 63, 0.0 },
        { "mapping alone, 12-TET: A = 432 Hz", 0, false, nullptr, "0\n0\n127\n60\n69\n432.0\n0\n", {}, 1, 72, 432.0 * std::exp2 (3.0 / 12) },
    };
}

/** The cases of the MPE zones (with the setting to follow the controller's set-up). */
inline std::vector<PitchCase> zoneCases()
{
    return {
        // Lower zone of 15 members: members bend ±48, the master ±2; the master's bend moves every member note.
        { "MCM lower zone 15, member bend up", 0, true, nullptr, nullptr, withBend (mcm (1, 15), 5, 16383), 5, 48, middleCHz / 2 * 16.0 },
        { "MCM lower zone 15, master bend up", 0, true, nullptr, nullptr, withBend (mcm (1, 15), 1, 16383), 5, 60, middleCHz * std::exp2 (2.0 / 12) },
        { "MCM lower zone 15, note on the master, master bend down", 0, true, nullptr, nullptr, withBend (mcm (1, 15), 1, 0), 1, 60, middleCHz / std::exp2 (2.0 / 12) },
        { "MCM lower zone 15, RPN 0 = 12 on the master", 0, true, nullptr, nullptr, withBend (joined (mcm (1, 15), rpn0 (1, 12)), 1, 16383), 5, 60, middleCHz * 2.0 },
        // Zero members end the zone: back to every channel on its own at ±48.
        { "MCM with 0 members: legacy again", 0, true, nullptr, nullptr, withBend (joined (mcm (1, 15), mcm (1, 0)), 1, 16383), 5, 60, middleCHz },
        { "not following: an MCM changes nothing", 0, false, nullptr, nullptr, withBend (mcm (1, 15), 1, 16383), 5, 60, middleCHz },
    };
}
} // namespace gribb::test
