#include "processor/MacroMaps.h"

namespace gribb
{
namespace
{
void writePlain (juce::AudioProcessorValueTreeState& parameters, const char* parameterID, float value)
{
    auto* parameter = parameters.getParameter (parameterID);

    if (parameter == nullptr)
        return;

    const auto range = parameters.getParameterRange (parameterID);
    parameter->setValueNotifyingHost (range.convertTo0to1 (value));
}

template <size_t n>
void applyTargets (juce::AudioProcessorValueTreeState& parameters, const std::array<MacroTarget, n>& targets, float x)
{
    for (const auto& target : targets)
        writePlain (parameters, parameterTable[(size_t) target.parameter].id, macroValue (target, x));
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
