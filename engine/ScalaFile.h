#pragma once

#include <optional>
#include <vector>

#include <juce_core/juce_core.h>

#include "engine/Tuning.h"

namespace gribb
{
/** A scale as a Scala .scl file gives it: a description and the pitch of each degree above the
    first, in cents; the last degree is the interval at which the scale repeats. */
struct ScalaScale
{
    juce::String description;
    std::vector<double> degreeCents; // degrees 1..n; degree 0 is the unison, 0 cents

    int size() const noexcept { return (int) degreeCents.size(); }
    double period() const noexcept { return degreeCents.back(); }
};

/** A keyboard mapping as a Scala .kbm file gives it. */
struct KeyboardMapping
{
    static constexpr int unmapped = -1;

    int mapSize = 0;       // 0: every key one degree above the key below
    int firstNote = 0;     // keys outside first..last play nothing
    int lastNote = 127;
    int middleNote = 60;   // the key of the scale's first degree
    int referenceNote = 60;
    double referenceFrequency = 261.6255653005986; // middle C of standard tuning
    int octaveDegree = 0;  // degrees per repetition of the map; 0: the scale's size
    std::vector<int> keys; // the degree of each key of the map, or `unmapped`
};

/** Reading Scala files: bounded in size and time, every fault a one-line message. */
namespace scala
{
/** Largest files read: a scale of a few thousand degrees fits, and both texts together stay
    small enough to travel in the plug-in's saved state. */
constexpr int maxScaleFileBytes = 32 * 1024;
constexpr int maxMappingFileBytes = 8 * 1024;
/** Most degrees a scale may declare. */
constexpr int maxDegrees = 4096;
/** Largest interval a degree may have, in cents (both ways): far beyond hearing. */
constexpr double maxDegreeCents = 100000.0;

/** The result of reading: the value, or the message saying why there is none. */
template <typename Value>
struct Result
{
    std::optional<Value> value;
    juce::String error;
};

/** The text of a file, if it is a regular file of at most maxBytes bytes holding text (no
    control characters other than tabs and line ends). Opened without waiting, so a FIFO or a
    device never blocks; a larger file is not read. Text that is not UTF-8 is read as Latin-1,
    as older Scala files are written. */
Result<juce::String> readTextFile (const juce::File& file, int maxBytes);

/** Bytes as text, as readTextFile takes them: refused if they are empty or hold control
    characters other than tabs and line ends; UTF-8 if they are strict UTF-8, else Latin-1. A
    juce::String must hold valid UTF-8, so every text the readers parse comes through here. */
Result<juce::String> decodeText (const char* bytes, size_t size);

Result<ScalaScale> parseScale (const juce::String& text);
Result<KeyboardMapping> parseMapping (const juce::String& text);

/** The twelve equal semitones of standard tuning, as a scale. */
ScalaScale standardScale();

/** Each key's frequency: for a mapped key, the mapping's reference frequency moved by the
    interval between the key's degree and the reference key's degree. */
Tuning makeTuning (const ScalaScale& scale, const KeyboardMapping& mapping);
} // namespace scala
} // namespace gribb
