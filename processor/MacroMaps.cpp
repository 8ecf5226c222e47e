#include "processor/MacroMaps.h"

#include "processor/WritePlainValue.h"

namespace gribb
{
void applyMacro (juce::AudioProcessorValueTreeState& parameters, Macro macro, float x)
{
    forEachMacroTarget (macro, x, [&parameters] (ParamIndex index, float plain)
    {
        writePlainValue (parameters, parameterTable[(size_t) index].id, plain);
    });
}
} // namespace gribb
