#include "processor/MacroMaps.h"

#include "processor/WritePlainValue.h"

namespace gribb
{
namespace
{
template <size_t n>
void applyTargets (juce::AudioProcessorValueTreeState& parameters, const std::array<MacroTarget, n>& targets, float x)
{
    for (const auto& target : targets)
        writePlainValue (parameters, parameterTable[(size_t) target.parameter].id, macroValue (target, x));
}
} // namespace

void applyMacro (juce::AudioProcessorValueTreeState& parameters, Macro macro, float x)
{
    if (macro == Macro::crush)
        applyTargets (parameters, crushTargets, x);
    else
        applyTargets (parameters, warpTargets, x);
}
} // namespace gribb
