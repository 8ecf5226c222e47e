#include "DemoPhrase.h"

namespace gribb::render
{
namespace
{
void addNote (juce::MidiMessageSequence& seq, int channel, int note, float velocity, double start, double length)
{
    seq.addEvent (juce::MidiMessage::noteOn (channel, note, velocity), start);
    seq.addEvent (juce::MidiMessage::noteOff (channel, note), start + length);
}
} // namespace

juce::MidiMessageSequence makeDemoPhrase()
{
    juce::MidiMessageSequence seq;
    constexpr double beat = 0.25; // 120 BPM, sixteenth notes

    // Bass on channel 1: a bouncing octave figure over two bars.
    const int bass[] = { 36, 48, 36, 48, 39, 51, 39, 51, 41, 53, 41, 53, 43, 55, 46, 58 };
    for (int bar = 0; bar < 2; ++bar)
        for (int i = 0; i < 16; ++i)
            addNote (seq, 1, bass[i], 0.9f, (bar * 16 + i) * beat, beat * 0.8);

    // A chord, one note per channel (2..4), the top note bent up a whole tone.
    const int chord[] = { 60, 63, 67 };
    for (int i = 0; i < 3; ++i)
        addNote (seq, 2 + i, chord[i], 0.7f, 2.0, 3.0);

    // 48-semitone range: 2 semitones is 8192 + 8192 * 2 / 48.
    for (int step = 0; step <= 16; ++step)
        seq.addEvent (juce::MidiMessage::pitchWheel (4, 8192 + (int) (8192.0 * 2.0 / 48.0 * step / 16.0)),
                      3.0 + step * 0.05);

    // A lead on channel 5 with rising pressure.
    const int lead[] = { 72, 75, 79, 82, 84, 82, 79, 75 };
    for (int i = 0; i < 8; ++i)
    {
        const double start = 4.0 + i * 2 * beat;
        addNote (seq, 5, lead[i], 0.8f, start, 2 * beat * 0.9);
        seq.addEvent (juce::MidiMessage::channelPressureChange (5, 16 * i), start + 0.01);
    }

    seq.addEvent (juce::MidiMessage::pitchWheel (4, 8192), 6.0);
    seq.updateMatchedPairs();
    seq.sort();
    return seq;
}
} // namespace gribb::render
