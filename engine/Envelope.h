#pragma once

#include <algorithm>

#include <juce_audio_basics/juce_audio_basics.h>

namespace gribb
{
/** A linear attack-decay-sustain-release envelope with the same behaviour, stage for stage and
    float operation for float operation, as juce::ADSR (same parameters, same per-sample steps,
    same stage changes), so its values are bit-identical to it. It renders a whole run of values
    at once: each stage runs in its own tight loop with the level kept in a register, where
    juce::ADSR decides the stage anew every sample. */
class Envelope
{
public:
    using Parameters = juce::ADSR::Parameters;

    Envelope() noexcept { recalculateRates(); }

    void setParameters (const Parameters& newParameters) noexcept
    {
        parameters = newParameters;
        recalculateRates();
    }

    const Parameters& getParameters() const noexcept { return parameters; }
    bool isActive() const noexcept { return state != State::idle; }
    bool isReleasing() const noexcept { return state == State::release; }
    void setSampleRate (double newSampleRate) noexcept { sampleRate = newSampleRate; }

    void reset() noexcept
    {
        level = 0.0f;
        state = State::idle;
    }

    /** Starts the attack from the current level (or the decay or sustain when the earlier stages
        take no time). */
    void noteOn() noexcept
    {
        if (attackRate > 0.0f)
        {
            state = State::attack;
        }
        else if (decayRate > 0.0f)
        {
            level = 1.0f;
            state = State::decay;
        }
        else
        {
            level = parameters.sustain;
            state = State::sustain;
        }
    }

    /** Starts the release with a slope that takes the current level to 0 in the release time. */
    void noteOff() noexcept
    {
        if (state != State::idle)
        {
            if (parameters.release > 0.0f)
            {
                releaseRate = (float) (level / (parameters.release * sampleRate));
                state = State::release;
            }
            else
            {
                reset();
            }
        }
    }

    /** Writes the next numSamples values, exactly those juce::ADSR::getNextSample() would return
        one by one. */
    void render (float* out, int numSamples) noexcept
    {
        int i = 0;
        while (i < numSamples)
        {
            switch (state)
            {
                case State::idle:
                    std::fill (out + i, out + numSamples, 0.0f);
                    return;

                case State::attack:
                {
                    const float rate = attackRate;
                    float v = level;
                    for (; i < numSamples; ++i)
                    {
                        v += rate;
                        if (v >= 1.0f)
                            break;
                        out[i] = v;
                    }
                    if (i == numSamples)
                    {
                        level = v;
                        return;
                    }
                    level = 1.0f;
                    out[i++] = 1.0f;
                    goToNextState();
                    break;
                }

                case State::decay:
                {
                    const float rate = decayRate;
                    const float sustain = parameters.sustain;
                    float v = level;
                    for (; i < numSamples; ++i)
                    {
                        v -= rate;
                        if (v <= sustain)
                            break;
                        out[i] = v;
                    }
                    if (i == numSamples)
                    {
                        level = v;
                        return;
                    }
                    level = sustain;
                    out[i++] = sustain;
                    goToNextState();
                    break;
                }

                case State::sustain:
                    level = parameters.sustain;
                    std::fill (out + i, out + numSamples, level);
                    return;

                case State::release:
                {
                    const float rate = releaseRate;
                    float v = level;
                    for (; i < numSamples; ++i)
                    {
                        v -= rate;
                        if (v <= 0.0f)
                            break;
                        out[i] = v;
                    }
                    if (i == numSamples)
                    {
                        level = v;
                        return;
                    }
                    // The release ends: the level is reset and that sample is already 0.
                    reset();
                    out[i++] = 0.0f;
                    break;
                }
            }
        }
    }

private:
    void recalculateRates() noexcept
    {
        auto getRate = [] (float distance, float timeInSeconds, double sr)
        {
            return timeInSeconds > 0.0f ? (float) (distance / (timeInSeconds * sr)) : -1.0f;
        };

        attackRate = getRate (1.0f, parameters.attack, sampleRate);
        decayRate = getRate (1.0f - parameters.sustain, parameters.decay, sampleRate);
        releaseRate = getRate (parameters.sustain, parameters.release, sampleRate);

        if ((state == State::attack && attackRate <= 0.0f)
            || (state == State::decay && (decayRate <= 0.0f || level <= parameters.sustain))
            || (state == State::release && releaseRate <= 0.0f))
        {
            goToNextState();
        }
    }

    void goToNextState() noexcept
    {
        if (state == State::attack)
        {
            state = (decayRate > 0.0f ? State::decay : State::sustain);
            return;
        }
        if (state == State::decay)
        {
            state = State::sustain;
            return;
        }
        if (state == State::release)
            reset();
    }

    enum class State { idle, attack, decay, sustain, release };

    State state = State::idle;
    Parameters parameters;
    double sampleRate = 44100.0;
    float attackRate = 0.0f, decayRate = 0.0f, releaseRate = 0.0f;
    float level = 0.0f;
};
} // namespace gribb
