#include "MidiFileLoader.h"

namespace gribb::render
{
bool loadMidiFile (const juce::File& file, juce::MidiMessageSequence& result, juce::String& error)
{
    juce::FileInputStream in (file);

    if (! in.openedOk())
    {
        error = "cannot open MIDI file " + file.getFullPathName();
        return false;
    }

    juce::MidiFile midi;
    int fileType = 0;

    if (! midi.readFrom (in, true, &fileType) || midi.getNumTracks() == 0)
    {
        error = "not a readable standard MIDI file: " + file.getFullPathName();
        return false;
    }

    if (midi.getTimeFormat() <= 0)
    {
        error = "SMPTE-timed MIDI files are not supported: " + file.getFullPathName();
        return false;
    }

    midi.convertTimestampTicksToSeconds();
    result.clear();

    for (int t = 0; t < midi.getNumTracks(); ++t)
        result.addSequence (*midi.getTrack (t), 0.0);

    result.updateMatchedPairs();
    result.sort();
    return true;
}
} // namespace gribb::render
