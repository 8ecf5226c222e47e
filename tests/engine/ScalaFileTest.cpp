#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "engine/ScalaFile.h"
#include "support/ScratchFolder.h"

namespace
{
using namespace gribb;

constexpr double middleC = 261.6255653005986;

double hz (const Tuning& tuning, int key) { return tuning.frequencyOf (key); }
} // namespace

TEST (ScalaFile, ReadsCentsRatiosCommentsAndBlankLines)
{
    const auto scale = scala::parseScale ("! just.scl\n!\nA just scale, in ratios and cents\n 7\n!\n9/8\n\n5/4   major third\n4/3\n701.955\n5/3\n 1088.27 cents\n2/1\n");
    ASSERT_TRUE (scale.value.has_value()) << scale.error;
    EXPECT_EQ (scale.value->description, "A just scale, in ratios and cents");
    ASSERT_EQ (scale.value->size(), 7);
    EXPECT_NEAR (scale.value->degreeCents[0], 203.91, 0.01);
    EXPECT_NEAR (scale.value->degreeCents[1], 386.31, 0.01);
    EXPECT_NEAR (scale.value->degreeCents[3], 701.955, 1e-9);
    EXPECT_NEAR (scale.value->degreeCents[5], 1088.27, 1e-9);
    EXPECT_DOUBLE_EQ (scale.value->period(), 1200.0);

    // A whole number is a ratio over 1; a blank description is allowed; one degree is a scale.
    const auto one = scala::parseScale ("\n1\n3\n");
    ASSERT_TRUE (one.value.has_value()) << one.error;
    EXPECT_EQ (one.value->description, "");
    EXPECT_NEAR (one.value->period(), 1901.955, 0.001);
}

TEST (ScalaFile, ReadsAScaleOf1024Degrees)
{
    juce::String text ("1024 equal steps of the octave\n1024\n");
    for (int i = 1; i <= 1024; ++i)
        text << juce::String (1200.0 * i / 1024, 6) << "\n";
    const auto scale = scala::parseScale (text);
    ASSERT_TRUE (scale.value.has_value()) << scale.error;
    EXPECT_EQ (scale.value->size(), 1024);
    EXPECT_LE (text.getNumBytesAsUTF8(), (size_t) scala::maxScaleFileBytes);
}

TEST (ScalaFile, WithoutAMappingKey60IsTheFirstDegreeAtMiddleC)
{
    const auto edo19 = scala::parseScale ("19-EDO\n19\n" + [] { juce::String t; for (int i = 1; i <= 19; ++i) t << juce::String (1200.0 * i / 19, 5) << "\n"; return t; }());
    ASSERT_TRUE (edo19.value.has_value()) << edo19.error;
    const auto tuning = scala::makeTuning (*edo19.value, KeyboardMapping {});
    EXPECT_NEAR (hz (tuning, 60), middleC, 1e-9);
    EXPECT_NEAR (hz (tuning, 61), middleC * std::exp2 (1.0 / 19), 1e-6);
    EXPECT_NEAR (hz (tuning, 79), middleC * 2.0, 1e-4);
    EXPECT_NEAR (hz (tuning, 41), middleC / 2.0, 1e-4);
    EXPECT_TRUE (tuning.isMapped (0) && tuning.isMapped (127));

    // The standard scale gives standard tuning.
    const auto standard = scala::makeTuning (scala::standardScale(), KeyboardMapping {});
    for (int key = 0; key < 128; ++key)
        EXPECT_NEAR (hz (standard, key) / (440.0 * std::exp2 ((key - 69) / 12.0)), 1.0, 1e-12) << key;
}

TEST (ScalaFile, AMappingMovesTheMiddleNoteSetsTheReferenceAndLeavesKeysUnmapped)
{
    // Seven white keys from middle D (62), A (69) at 432 Hz, the black keys unmapped.
    const auto mapping = scala::parseMapping ("! white keys\n12\n0\n127\n62\n69\n432.0\n7\n0\nx\n1\nx\n2\n3\nx\n4\nx\n5\nx\n6\n");
    ASSERT_TRUE (mapping.value.has_value()) << mapping.error;
    EXPECT_EQ (mapping.value->middleNote, 62);
    const auto just = scala::parseScale ("major\n7\n9/8\n5/4\n4/3\n3/2\n5/3\n15/8\n2/1\n");
    ASSERT_TRUE (just.value.has_value());
    const auto tuning = scala::makeTuning (*just.value, *mapping.value);

    EXPECT_NEAR (hz (tuning, 69), 432.0, 1e-9);            // degree 4 (3/2 above D)
    EXPECT_NEAR (hz (tuning, 62), 432.0 * 2.0 / 3.0, 1e-9); // degree 0
    EXPECT_NEAR (hz (tuning, 64), 432.0 * 2.0 / 3.0 * 9.0 / 8.0, 1e-9);
    EXPECT_NEAR (hz (tuning, 74), 432.0 * 4.0 / 3.0, 1e-9); // D an octave up: degree 7
    EXPECT_FALSE (tuning.isMapped (63));
    EXPECT_FALSE (tuning.isMapped (60)); // 60 is entry 10 of the repetition below: x
    EXPECT_TRUE (tuning.isMapped (61));  // entry 11: degree 6 of the octave below
    EXPECT_NEAR (hz (tuning, 61), 432.0 * 2.0 / 3.0 / 2.0 * 15.0 / 8.0, 1e-9);
}

TEST (ScalaFile, AMappingLimitsTheKeysAndFillsAShortMapWithUnmappedKeys)
{
    const auto mapping = scala::parseMapping ("4\n48\n72\n60\n60\n261.6255653\n2\n0\n1\n");
    ASSERT_TRUE (mapping.value.has_value()) << mapping.error;
    const auto tuning = scala::makeTuning (scala::standardScale(), *mapping.value);
    EXPECT_FALSE (tuning.isMapped (47));
    EXPECT_FALSE (tuning.isMapped (73));
    EXPECT_TRUE (tuning.isMapped (60) && tuning.isMapped (61));
    EXPECT_FALSE (tuning.isMapped (62) || tuning.isMapped (63));
    EXPECT_NEAR (hz (tuning, 64), middleC * std::exp2 (2.0 / 12.0), 1e-6); // the map repeats 2 degrees higher
}

TEST (ScalaFile, BadFilesChangeNothingAndSayWhyInOneLine)
{
    const gribb::test::ScratchFolder scratch ("gribb-scala-test");
    const auto& folder = scratch.folder;
    struct Case
    {
        const char* name;
        bool isScale;
        juce::String text; // written as the file, unless the case makes a file of its own
        const char* message;
    };
    const Case cases[] = {
        { "zero ratio", true, "z\n2\n0/1\n2/1\n", "is not positive" },
        { "negative ratio", true, "n\n2\n-3/2\n2/1\n", "is not positive" },
        { "zero denominator", true, "d\n1\n3/0\n", "is not positive" },
        { "fewer degrees than declared", true, "f\n5\n100.0\n200.0\n", "declares 5 notes but lists 2" },
        { "no count", true, "only a description\n", "no number of notes" },
        { "count not a number", true, "c\ntwelve\n100.0\n", "is not a number of notes" },
        { "zero degrees", true, "c\n0\n", "at least one note" },
        { "too many degrees", true, "c\n5000\n", "more than 4096" },
        { "a word for a pitch", true, "w\n1\nfifth\n", "is not a ratio" },
        { "two dots", true, "w\n1\n1.2.3\n", "is not a pitch in cents" },
        { "an absurd interval", true, "w\n1\n99999999.0\n", "out of range" },
        { "period of unison", true, "u\n1\n0.0\n", "the unison" },
        { "empty", true, "", "is empty" },
        { "binary", true, juce::String ("12\n") + juce::String::charToString (1) + "\x7f", "not a text file" },
        { "mapping too short", false, "12\n0\n127\n", "fewer than the seven" },
        { "mapping with a bad map size", false, "200\n0\n127\n60\n69\n440.0\n12\n", "map size" },
        { "mapping with first above last", false, "0\n100\n20\n60\n69\n440.0\n0\n", "first note is above" },
        { "mapping with a zero frequency", false, "0\n0\n127\n60\n69\n0\n0\n", "reference frequency" },
        { "mapping with a bad entry", false, "2\n0\n127\n60\n60\n440.0\n12\n0\nseven\n", "is not a scale degree" },
        { "mapping with an unmapped reference", false, "2\n0\n127\n60\n61\n440.0\n12\n0\nx\n", "reference note 61 is unmapped" },
    };

    for (const auto& c : cases)
    {
        const auto file = folder.getChildFile (juce::String (c.name).replaceCharacter (' ', '-') + (c.isScale ? ".scl" : ".kbm"));
        file.replaceWithText (c.text, false, false, "\n");
        auto read = scala::readTextFile (file, c.isScale ? scala::maxScaleFileBytes : scala::maxMappingFileBytes);
        juce::String error = read.error;
        if (read.value.has_value())
            error = c.isScale ? scala::parseScale (*read.value).error : scala::parseMapping (*read.value).error;
        EXPECT_TRUE (error.contains (c.message)) << c.name << ": \"" << error << "\"";
        EXPECT_FALSE (error.containsAnyOf ("\r\n")) << c.name;
    }

    struct Special
    {
        const char* name;
        std::function<juce::File()> make;
        const char* message;
    };
    const Special specials[] = {
        { "a file of 100 MB", [&]
          {
              const auto file = folder.getChildFile ("huge.scl");
              file.create();
              EXPECT_EQ (::truncate (file.getFullPathName().toRawUTF8(), 100 * 1024 * 1024), 0);
              return file;
          }, "is larger than 32 KB" },
        { "a FIFO", [&]
          {
              const auto file = folder.getChildFile ("pipe.scl");
              ::mkfifo (file.getFullPathName().toRawUTF8(), 0600);
              return file;
          }, "is not a regular file" },
        { "a folder", [&] { return folder; }, "is not a regular file" },
        { "a missing file", [&] { return folder.getChildFile ("missing.scl"); }, "cannot be opened" },
    };
    for (const auto& s : specials)
    {
        const auto file = s.make();
        const auto start = std::chrono::steady_clock::now();
        const auto read = scala::readTextFile (file, scala::maxScaleFileBytes);
        EXPECT_LT (std::chrono::steady_clock::now() - start, std::chrono::seconds (2)) << s.name;
        EXPECT_FALSE (read.value.has_value()) << s.name;
        EXPECT_TRUE (read.error.contains (s.message)) << s.name << ": \"" << read.error << "\"";
    }
}

TEST (ScalaFile, Latin1TextReadsAsLatin1)
{
    const gribb::test::ScratchFolder scratch ("gribb-scala-test");
    const auto& folder = scratch.folder;
    const auto file = folder.getChildFile ("latin1.scl");
    const char bytes[] = "Gamme de Rameau \xe9tendue\n1\n2/1\n";
    file.replaceWithData (bytes, sizeof (bytes) - 1);
    const auto read = scala::readTextFile (file, scala::maxScaleFileBytes);
    ASSERT_TRUE (read.value.has_value()) << read.error;
    const auto scale = scala::parseScale (*read.value);
    ASSERT_TRUE (scale.value.has_value());
    EXPECT_EQ (scale.value->description, juce::String (juce::CharPointer_UTF8 ("Gamme de Rameau \xc3\xa9tendue")));
}
