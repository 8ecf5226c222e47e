#include "engine/ScalaFile.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gribb::scala
{
namespace
{
template <typename Value>
Result<Value> failure (const juce::String& message)
{
    return { std::nullopt, message };
}

bool isTextByte (unsigned char c) noexcept
{
    return c >= 0x20 ? c != 0x7f : (c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v');
}

/** Whether the bytes are well-formed UTF-8 (no stray continuation bytes, no truncated or
    overlong sequences). */
bool isStrictUtf8 (const unsigned char* bytes, size_t size) noexcept
{
    for (size_t i = 0; i < size;)
    {
        const unsigned char c = bytes[i];
        const int extra = c < 0x80 ? 0 : (c >= 0xc2 && c <= 0xdf) ? 1 : (c >= 0xe0 && c <= 0xef) ? 2 : (c >= 0xf0 && c <= 0xf4) ? 3 : -1;
        if (extra < 0)
            return false;
        for (int k = 1; k <= extra; ++k)
            if (i + (size_t) k >= size || (bytes[i + (size_t) k] & 0xc0) != 0x80)
                return false;
        i += (size_t) extra + 1;
    }
    return true;
}

/** The lines that matter: comment lines (starting with '!') left out, each with its number. */
struct Line
{
    int number;
    juce::String text;
};

std::vector<Line> meaningfulLines (const juce::String& text, bool keepFirstBlank)
{
    std::vector<Line> lines;
    int number = 0;
    for (auto& raw : juce::StringArray::fromLines (text))
    {
        ++number;
        const auto trimmed = raw.trim();
        if (trimmed.startsWithChar ('!'))
            continue;
        // The description may be blank; other blank lines carry nothing.
        if (trimmed.isEmpty() && ! (keepFirstBlank && lines.empty()))
            continue;
        lines.push_back ({ number, trimmed });
    }
    return lines;
}

/** The first word of a line: what follows it is a comment. */
juce::String firstWord (const juce::String& line)
{
    return line.upToFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf ("\t", false, false);
}

/** A whole number written in digits (an optional sign first), within -limit..limit. */
std::optional<int> wholeNumber (const juce::String& word, int limit)
{
    auto digits = word;
    bool negative = false;
    if (digits.startsWithChar ('+') || digits.startsWithChar ('-'))
    {
        negative = digits.startsWithChar ('-');
        digits = digits.substring (1);
    }
    if (digits.isEmpty() || ! digits.containsOnly ("0123456789") || digits.length() > 9)
        return std::nullopt;
    const int value = digits.getIntValue();
    if (value > limit)
        return std::nullopt;
    return negative ? -value : value;
}

juce::String lineLabel (const Line& line)
{
    return "line " + juce::String (line.number) + ": ";
}

/** One degree: cents when the word has a dot, else a ratio "p/q" or a whole number "p". */
Result<double> parsePitch (const Line& line)
{
    const auto word = firstWord (line.text);

    if (word.containsChar ('.'))
    {
        auto digits = word.trimCharactersAtStart ("+-");
        if (word.indexOfAnyOf ("+-", 1) >= 0 || ! digits.containsOnly ("0123456789.")
            || digits.indexOfChar ('.') != digits.lastIndexOfChar ('.') || digits == ".")
            return failure<double> (lineLabel (line) + "\"" + word + "\" is not a pitch in cents");
        const double cents = word.getDoubleValue();
        if (! std::isfinite (cents) || std::abs (cents) > maxDegreeCents)
            return failure<double> (lineLabel (line) + "the pitch " + word + " is out of range");
        return { cents, {} };
    }

    const auto numeratorText = word.upToFirstOccurrenceOf ("/", false, false);
    const auto denominatorText = word.containsChar ('/') ? word.fromFirstOccurrenceOf ("/", false, false) : juce::String ("1");
    const auto isNumber = [] (const juce::String& s) { return s.isNotEmpty() && s.trimCharactersAtStart ("+-").containsOnly ("0123456789")
                                                           && s.indexOfAnyOf ("+-", 1) < 0 && s.trimCharactersAtStart ("+-").isNotEmpty(); };
    if (! isNumber (numeratorText) || ! isNumber (denominatorText))
        return failure<double> (lineLabel (line) + "\"" + word + "\" is not a ratio or a pitch in cents");

    const double numerator = numeratorText.getDoubleValue();
    const double denominator = denominatorText.getDoubleValue();
    if (! (numerator > 0.0) || ! (denominator > 0.0))
        return failure<double> (lineLabel (line) + "the ratio " + word + " is not positive");

    const double cents = 1200.0 * std::log2 (numerator / denominator);
    if (! std::isfinite (cents) || std::abs (cents) > maxDegreeCents)
        return failure<double> (lineLabel (line) + "the ratio " + word + " is out of range");
    return { cents, {} };
}

/** The degree number of a key (its count of degrees from the middle note's), if it plays. */
std::optional<int> degreeOfKey (const KeyboardMapping& mapping, int octaveDegree, int key)
{
    if (key < mapping.firstNote || key > mapping.lastNote)
        return std::nullopt;

    const int offset = key - mapping.middleNote;
    if (mapping.mapSize == 0)
        return offset;

    const int repetition = (int) std::floor ((double) offset / mapping.mapSize);
    const int index = offset - repetition * mapping.mapSize;
    const int entry = index < (int) mapping.keys.size() ? mapping.keys[(size_t) index] : KeyboardMapping::unmapped;
    if (entry == KeyboardMapping::unmapped)
        return std::nullopt;
    return repetition * octaveDegree + entry;
}

double centsOfDegree (const ScalaScale& scale, int degree)
{
    const int n = scale.size();
    const int octave = (int) std::floor ((double) degree / n);
    const int step = degree - octave * n;
    return octave * scale.period() + (step == 0 ? 0.0 : scale.degreeCents[(size_t) (step - 1)]);
}
} // namespace

Result<juce::String> readTextFile (const juce::File& file, int maxBytes)
{
    const auto path = file.getFullPathName();
    // Non-blocking, so that opening a FIFO with no writer returns at once.
    const int fd = ::open (path.toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure<juce::String> ("cannot be opened (" + juce::String (std::strerror (errno)) + ")");

    struct Closer
    {
        int fd;
        ~Closer() { ::close (fd); }
    } closer { fd };

    struct stat info {};
    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
        return failure<juce::String> ("is not a regular file");
    if (info.st_size > maxBytes)
        return failure<juce::String> ("is larger than " + juce::String (maxBytes / 1024) + " KB");

    // The file may grow while it is read: never more than the limit plus one byte is read.
    std::vector<char> bytes ((size_t) maxBytes + 1);
    size_t total = 0;
    while (total < bytes.size())
    {
        const auto got = ::read (fd, bytes.data() + total, bytes.size() - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure<juce::String> ("cannot be read (" + juce::String (std::strerror (errno)) + ")");
        if (got == 0)
            break;
        total += (size_t) got;
    }
    if (total > (size_t) maxBytes)
        return failure<juce::String> ("is larger than " + juce::String (maxBytes / 1024) + " KB");
    return decodeText (bytes.data(), total);
}

Result<juce::String> decodeText (const char* bytes, size_t size)
{
    if (size == 0)
        return failure<juce::String> ("is empty");

    for (size_t i = 0; i < size; ++i)
        if (! isTextByte ((unsigned char) bytes[i]))
            return failure<juce::String> ("is not a text file");

    if (isStrictUtf8 (reinterpret_cast<const unsigned char*> (bytes), size))
        return { juce::String::fromUTF8 (bytes, (int) size), {} };

    juce::String latin1;
    latin1.preallocateBytes (size * 2);
    for (size_t i = 0; i < size; ++i)
        latin1 += (juce::juce_wchar) (unsigned char) bytes[i];
    return { latin1, {} };
}

Result<ScalaScale> parseScale (const juce::String& text)
{
    const auto lines = meaningfulLines (text, true);
    if (lines.empty())
        return failure<ScalaScale> ("no description line");
    if (lines.size() < 2)
        return failure<ScalaScale> ("no number of notes");

    const auto& countLine = lines[1];
    const auto count = wholeNumber (firstWord (countLine.text), 999999999);
    if (! count.has_value())
        return failure<ScalaScale> (lineLabel (countLine) + "\"" + firstWord (countLine.text) + "\" is not a number of notes");
    if (*count < 1)
        return failure<ScalaScale> (lineLabel (countLine) + "a scale needs at least one note");
    if (*count > maxDegrees)
        return failure<ScalaScale> (lineLabel (countLine) + "more than " + juce::String (maxDegrees) + " notes");

    const int available = (int) lines.size() - 2;
    if (available < *count)
        return failure<ScalaScale> ("declares " + juce::String (*count) + " notes but lists " + juce::String (available));

    ScalaScale scale;
    scale.description = lines[0].text;
    scale.degreeCents.reserve ((size_t) *count);
    for (int i = 0; i < *count; ++i)
    {
        const auto pitch = parsePitch (lines[(size_t) (2 + i)]);
        if (! pitch.value.has_value())
            return failure<ScalaScale> (pitch.error);
        scale.degreeCents.push_back (*pitch.value);
    }

    if (juce::exactlyEqual (scale.period(), 0.0))
        return failure<ScalaScale> ("the last note, the scale's period, is the unison");
    return { std::move (scale), {} };
}

Result<KeyboardMapping> parseMapping (const juce::String& text)
{
    const auto lines = meaningfulLines (text, false);
    if (lines.size() < 7)
        return failure<KeyboardMapping> ("fewer than the seven header lines of a keyboard mapping");

    KeyboardMapping mapping;
    struct Field
    {
        const char* name;
        int* target;
        int low, high;
    };
    const Field fields[] = {
        { "map size", &mapping.mapSize, 0, 128 },
        { "first note", &mapping.firstNote, 0, 127 },
        { "last note", &mapping.lastNote, 0, 127 },
        { "middle note", &mapping.middleNote, 0, 127 },
        { "reference note", &mapping.referenceNote, 0, 127 },
    };
    int index = 0;
    for (const auto& field : fields)
    {
        const auto& line = lines[(size_t) index++];
        const auto value = wholeNumber (firstWord (line.text), 100000);
        if (! value.has_value() || *value < field.low || *value > field.high)
            return failure<KeyboardMapping> (lineLabel (line) + "the " + field.name + " must be a number from "
                                             + juce::String (field.low) + " to " + juce::String (field.high));
        *field.target = *value;
    }

    const auto& frequencyLine = lines[(size_t) index++];
    const auto frequencyWord = firstWord (frequencyLine.text);
    const double frequency = frequencyWord.getDoubleValue();
    if (! frequencyWord.containsOnly ("0123456789.+eE-") || ! std::isfinite (frequency) || frequency < 0.01 || frequency > 100000.0)
        return failure<KeyboardMapping> (lineLabel (frequencyLine) + "the reference frequency must be from 0.01 to 100000 Hz");
    mapping.referenceFrequency = frequency;

    const auto& octaveLine = lines[(size_t) index++];
    const auto octave = wholeNumber (firstWord (octaveLine.text), maxDegrees);
    if (! octave.has_value() || *octave < 0)
        return failure<KeyboardMapping> (lineLabel (octaveLine) + "the formal octave must be a degree from 0 to " + juce::String (maxDegrees));
    mapping.octaveDegree = *octave;

    if (mapping.firstNote > mapping.lastNote)
        return failure<KeyboardMapping> ("the first note is above the last note");

    // Entries missing at the end of the map leave their keys unmapped.
    for (int i = 0; i < mapping.mapSize; ++i)
    {
        if (index + i >= (int) lines.size())
        {
            mapping.keys.push_back (KeyboardMapping::unmapped);
            continue;
        }
        const auto& line = lines[(size_t) (index + i)];
        const auto word = firstWord (line.text);
        if (word.equalsIgnoreCase ("x"))
        {
            mapping.keys.push_back (KeyboardMapping::unmapped);
            continue;
        }
        const auto degree = wholeNumber (word, maxDegrees * 128);
        if (! degree.has_value() || *degree < 0)
            return failure<KeyboardMapping> (lineLabel (line) + "\"" + word + "\" is not a scale degree or x");
        mapping.keys.push_back (*degree);
    }

    if (mapping.mapSize > 0)
    {
        const int offset = mapping.referenceNote - mapping.middleNote;
        const int index0 = offset - (int) std::floor ((double) offset / mapping.mapSize) * mapping.mapSize;
        if (mapping.keys[(size_t) index0] == KeyboardMapping::unmapped)
            return failure<KeyboardMapping> ("the reference note " + juce::String (mapping.referenceNote) + " is unmapped");
    }
    return { std::move (mapping), {} };
}

ScalaScale standardScale()
{
    ScalaScale scale;
    scale.description = "12-TET";
    for (int i = 1; i <= 12; ++i)
        scale.degreeCents.push_back (100.0 * i);
    return scale;
}

Tuning makeTuning (const ScalaScale& scale, const KeyboardMapping& mapping)
{
    const int octaveDegree = mapping.octaveDegree > 0 ? mapping.octaveDegree : scale.size();

    // The reference key's degree; a mapping whose reference key plays nothing is refused when
    // read, so this falls back to the middle note only for hand-built mappings.
    const auto referenceDegree = degreeOfKey (KeyboardMapping { mapping.mapSize, 0, 127, mapping.middleNote, mapping.referenceNote,
                                                                mapping.referenceFrequency, mapping.octaveDegree, mapping.keys },
                                              octaveDegree, mapping.referenceNote).value_or (0);
    const double referenceCents = centsOfDegree (scale, referenceDegree);

    Tuning tuning;
    for (int key = 0; key < Tuning::numKeys; ++key)
    {
        const auto degree = degreeOfKey (mapping, octaveDegree, key);
        tuning.mapped[(size_t) key] = degree.has_value();
        if (! degree.has_value())
        {
            tuning.frequencies[(size_t) key] = mapping.referenceFrequency;
            continue;
        }
        const double cents = centsOfDegree (scale, *degree) - referenceCents;
        // Kept finite and positive: the voice clamps what it plays to 1..20000 Hz anyway.
        tuning.frequencies[(size_t) key] = juce::jlimit (1.0e-3, 1.0e6, mapping.referenceFrequency * std::exp2 (cents / 1200.0));
    }
    return tuning;
}
} // namespace gribb::scala
