#include "processor/WritePlainValue.h"

namespace gribb
{
void writePlainValue (juce::AudioProcessorValueTreeState& parameters, const char* parameterID, float plainValue)
{
    auto* parameter = parameters.getParameter (parameterID);

    if (parameter == nullptr)
        return;

    parameter->setValueNotifyingHost (parameters.getParameterRange (parameterID).convertTo0to1 (plainValue));
}
} // namespace gribb
