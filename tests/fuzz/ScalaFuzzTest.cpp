// A seeded random-mutation fuzzer for the Scala reader. It starts from valid .scl and .kbm texts,
// mutates them (byte edits, digits and signs, repeated and dropped lines, huge numbers, random
// bytes) and reads every input as a scale and as a keyboard mapping. A reading either fails with
// a one-line message or gives a scale or mapping whose tuning has a finite, positive frequency
// for every key; every fifth input also goes through a file, as the plug-in reads it.
//
// The suite runs 5000 inputs. A longer run, from the build folder:
//   GRIBB_FUZZ_ITERATIONS=300000 GRIBB_FUZZ_SEED=7 tests/fuzz/gribb_scala_fuzz
// An input that fails a check is written to gribb-scala-fuzz-failure.txt in the temporary folder;
// one that runs longer than GRIBB_FUZZ_HANG_SECONDS (default 60) to gribb-scala-fuzz-hang.txt.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "engine/ScalaFile.h"
#include "support/FuzzSupport.h"
#include "support/PitchCases.h"

namespace
{
using gribb::test::environmentNumber;

constexpr long long defaultIterations = 5000;
constexpr size_t maxInputBytes = 2 * gribb::scala::maxScaleFileBytes;

class Mutator
{
public:
    explicit Mutator (std::uint64_t seed) : random (seed) {}

    int below (int n) { return std::uniform_int_distribution<int> (0, n - 1) (random); }

    std::string mutate (std::string text)
    {
        const int edits = 1 + below (4);
        for (int e = 0; e < edits; ++e)
        {
            switch (below (9))
            {
                case 0: if (! text.empty()) text[(size_t) below ((int) text.size())] = (char) below (256); break;
                case 1: if (! text.empty()) text[(size_t) below ((int) text.size())] = "0123456789"[below (10)]; break;
                case 2: if (! text.empty()) text.insert ((size_t) below ((int) text.size()), 1, "-+./x!\n \t0"[below (11)]); break;
                case 3: if (! text.empty()) text.erase ((size_t) below ((int) text.size()), (size_t) (1 + below (8))); break;
                case 4: text.insert (text.empty() ? 0 : (size_t) below ((int) text.size()), hugeNumber()); break;
                case 5: duplicateLine (text); break;
                case 6: text.resize ((size_t) below ((int) text.size() + 1)); break;
                case 7: for (int i = below (64); --i >= 0;) text.push_back ((char) below (256)); break;
                default: text = randomText(); break;
            }
            // Larger than any file the reader takes: longer texts test nothing new, and slowly.
            // Cut after every edit, since duplicating a line of a long text again and again
            // would otherwise grow it without bound.
            if (text.size() > maxInputBytes)
                text.resize (maxInputBytes);
        }
        return text;
    }

private:
    std::mt19937_64 random;

    std::string hugeNumber()
    {
        static const char* const numbers[] = { "99999999999999999999", "4096", "4097", "1e308", "0/0", "-0.0", "1/99999999999",
                                               "2147483648", "-2147483649", "1200.", ".5", "nan", "inf", "128", "-1" };
        return numbers[below ((int) std::size (numbers))];
    }

    void duplicateLine (std::string& text)
    {
        const auto start = text.rfind ('\n', text.empty() ? 0 : (size_t) below ((int) text.size()));
        const auto from = start == std::string::npos ? 0 : start + 1;
        const auto end = text.find ('\n', from);
        const auto line = text.substr (from, end == std::string::npos ? std::string::npos : end - from + 1);
        for (int i = below (300); --i >= 0;)
            text.insert (from, line);
    }

    std::string randomText()
    {
        std::string text;
        for (int i = below (200); --i >= 0;)
            text.push_back ((char) below (256));
        return text;
    }
};

/** The checks on one input; false (with a failure recorded) when one fails. */
bool readsSafely (const juce::String& text)
{
    const auto scale = gribb::scala::parseScale (text);
    const auto mapping = gribb::scala::parseMapping (text);
    for (const auto* error : { &scale.error, &mapping.error })
        if (error->containsAnyOf ("\r\n"))
        {
            ADD_FAILURE() << "a message of more than one line: " << *error;
            return false;
        }
    if (scale.value.has_value() == scale.error.isNotEmpty() || mapping.value.has_value() == mapping.error.isNotEmpty())
    {
        ADD_FAILURE() << "a reading gave both a value and a message, or neither";
        return false;
    }

    const auto scaleToUse = scale.value.has_value() ? *scale.value : gribb::scala::standardScale();
    const auto mappingToUse = mapping.value.has_value() ? *mapping.value : gribb::KeyboardMapping {};
    const auto tuning = gribb::scala::makeTuning (scaleToUse, mappingToUse);
    for (int key = 0; key < gribb::Tuning::numKeys; ++key)
        if (! std::isfinite (tuning.frequencies[(size_t) key]) || tuning.frequencies[(size_t) key] <= 0.0)
        {
            ADD_FAILURE() << "key " << key << " has frequency " << tuning.frequencies[(size_t) key];
            return false;
        }
    return true;
}
} // namespace

TEST (ScalaFuzz, MutatedScalesAndMappingsReadSafely)
{
    const auto iterations = environmentNumber ("GRIBB_FUZZ_ITERATIONS", defaultIterations);
    const auto seed = (std::uint64_t) environmentNumber ("GRIBB_FUZZ_SEED", 20261211);
    std::cout << "[fuzz] seed " << seed << ", " << iterations << " inputs" << std::endl;

    std::vector<std::string> corpus { gribb::test::edo19Scale, gribb::test::justMajorScale, gribb::test::whiteKeys432Mapping,
                                      "! map\n0\n0\n127\n60\n69\n440.0\n0\n", "one\n1\n3/2\n",
                                      "short map\n5\n40\n90\n60\n60\n261.6\n3\n0\nx\n2\n" };
    Mutator mutator (seed);
    std::string input;
    gribb::test::HangWatchdog watchdog ((int) environmentNumber ("GRIBB_FUZZ_HANG_SECONDS", 60), [&input]
    {
        const auto file = gribb::test::fuzzDumpFile ("gribb-scala-fuzz-hang.txt");
        file.replaceWithData (input.data(), input.size());
        std::cout << "[fuzz] the input is written to " << file.getFullPathName() << std::endl;
    });

    juce::TemporaryFile scratch (".scl");
    long long scales = 0, mappings = 0;
    double slowestMs = 0.0;
    const auto seeds = corpus.size();

    for (long long i = 0; i < iterations; ++i)
    {
        input = mutator.mutate (corpus[(size_t) mutator.below ((int) corpus.size())]);
        const auto start = std::chrono::steady_clock::now();
        watchdog.starting();

        juce::String text;
        bool ok = true;
        if (i % 5 == 0)
        {
            scratch.getFile().replaceWithData (input.data(), input.size());
            const auto read = gribb::scala::readTextFile (scratch.getFile(), gribb::scala::maxScaleFileBytes);
            text = read.value.value_or (juce::String());
            ok = read.value.has_value() != read.error.isNotEmpty();
            if (! ok)
                ADD_FAILURE() << "the file reader gave both a text and a message, or neither";
        }
        else
        {
            // The bytes as the file reader decodes them: a juce::String is never built from
            // bytes that are not UTF-8.
            text = gribb::scala::decodeText (input.data(), input.size()).value.value_or (juce::String());
        }
        ok = ok && readsSafely (text);
        watchdog.finished();
        slowestMs = std::max (slowestMs, std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count());

        if (! ok)
        {
            const auto dump = gribb::test::fuzzDumpFile ("gribb-scala-fuzz-failure.txt");
            dump.replaceWithData (input.data(), input.size());
            std::cout << "[fuzz] failing input written to " << dump.getFullPathName() << std::endl;
            return;
        }

        const bool isScale = gribb::scala::parseScale (text).value.has_value();
        const bool isMapping = gribb::scala::parseMapping (text).value.has_value();
        scales += isScale;
        mappings += isMapping;
        if ((isScale || isMapping) && corpus.size() < seeds + 500)
            corpus.push_back (input);
    }

    std::cout << "[fuzz] read as a scale " << scales << ", as a mapping " << mappings << ", slowest input " << slowestMs << " ms" << std::endl;
    if (iterations >= 1000)
    {
        EXPECT_GT (scales, iterations / 100);
        EXPECT_GT (mappings, iterations / 1000);
    }
}
