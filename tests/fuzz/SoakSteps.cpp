#include "SoakSteps.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace gribb::test
{
std::string writeSoakSteps (const std::vector<SoakStep>& steps)
{
    std::ostringstream out;
    char number[32];

    for (const auto& step : steps)
    {
        switch (step.kind)
        {
            case SoakStep::Kind::prepare:
                std::snprintf (number, sizeof (number), "%.17g", step.sampleRate);
                out << "prepare " << number << ' ' << step.blockSize << ' ' << step.channels << '\n';
                break;
            case SoakStep::Kind::release: out << "release\n"; break;
            case SoakStep::Kind::quiesce: out << "quiesce\n"; break;
            case SoakStep::Kind::parameter:
                std::snprintf (number, sizeof (number), "%.9g", (double) step.normalised);
                out << "param " << step.parameterIndex << ' ' << number << '\n';
                break;
            case SoakStep::Kind::block:
                out << "block " << step.numSamples << ' ' << step.events.size() << '\n';
                for (const auto& event : step.events)
                {
                    out << "  " << event.position;
                    for (auto byte : event.bytes)
                    {
                        std::snprintf (number, sizeof (number), " %02x", byte);
                        out << number;
                    }
                    out << '\n';
                }
                break;
        }
    }

    return out.str();
}

std::optional<std::vector<SoakStep>> readSoakSteps (const std::string& text)
{
    std::vector<SoakStep> steps;
    std::istringstream in (text);
    std::string line;

    while (std::getline (in, line))
    {
        std::istringstream words (line);
        std::string kind;
        if (! (words >> kind))
            continue;

        SoakStep step;
        if (kind == "prepare")
        {
            step.kind = SoakStep::Kind::prepare;
            if (! (words >> step.sampleRate >> step.blockSize >> step.channels))
                return std::nullopt;
        }
        else if (kind == "release")
        {
            step.kind = SoakStep::Kind::release;
        }
        else if (kind == "quiesce")
        {
            step.kind = SoakStep::Kind::quiesce;
        }
        else if (kind == "param")
        {
            step.kind = SoakStep::Kind::parameter;
            if (! (words >> step.parameterIndex >> step.normalised))
                return std::nullopt;
        }
        else if (kind == "block")
        {
            step.kind = SoakStep::Kind::block;
            size_t numEvents = 0;
            if (! (words >> step.numSamples >> numEvents))
                return std::nullopt;

            for (size_t i = 0; i < numEvents; ++i)
            {
                if (! std::getline (in, line))
                    return std::nullopt;
                std::istringstream eventWords (line);
                SoakStep::Event event;
                if (! (eventWords >> event.position))
                    return std::nullopt;
                std::string hex;
                while (eventWords >> hex)
                {
                    char* end = nullptr;
                    const auto byte = std::strtoul (hex.c_str(), &end, 16);
                    if (end == hex.c_str() || *end != 0 || byte > 0xff)
                        return std::nullopt;
                    event.bytes.push_back ((std::uint8_t) byte);
                }
                step.events.push_back (std::move (event));
            }
        }
        else
        {
            return std::nullopt;
        }

        steps.push_back (std::move (step));
    }

    return steps;
}
} // namespace gribb::test
