#include "processor/GribbTazoAudioProcessor.h"

// Placeholder program interface: one unnamed program until the factory table lands.
juce::StringArray GribbTazoAudioProcessor::getProgramNames() { return { juce::String() }; }
std::map<juce::String, float> GribbTazoAudioProcessor::getProgramValues (int) { return {}; }
void GribbTazoAudioProcessor::applyProgram (int) {}

int GribbTazoAudioProcessor::getNumPrograms() { return getProgramNames().size(); }
int GribbTazoAudioProcessor::getCurrentProgram() { return currentProgram; }
void GribbTazoAudioProcessor::setCurrentProgram (int) {}
const juce::String GribbTazoAudioProcessor::getProgramName (int) { return {}; }
void GribbTazoAudioProcessor::changeProgramName (int, const juce::String&) {}
