#include "WavFileWriter.h"

#include <juce_audio_formats/juce_audio_formats.h>

namespace gribb::render
{
namespace
{
/** Where the WAV is written first; it takes the file's place only once it is complete. */
juce::File partialFileFor (const juce::File& file)
{
    return file.getSiblingFile ("." + file.getFileName() + ".partial");
}
} // namespace

bool checkOutputFile (const juce::File& file, bool makeFolder, juce::String& error)
{
    if (file.isDirectory())
    {
        error = "the output " + file.getFullPathName() + " is a folder, not a file";
        return false;
    }

    const auto folder = file.getParentDirectory();
    if (! folder.isDirectory())
    {
        if (! makeFolder)
        {
            error = "the folder " + folder.getFullPathName() + " does not exist (--mkdir creates it)";
            return false;
        }

        if (! folder.createDirectory())
        {
            error = "cannot create the folder " + folder.getFullPathName();
            return false;
        }
    }

    // Try the very file the render will be written to first, so that a folder that refuses it
    // fails now rather than after the whole render.
    const auto probe = partialFileFor (file);
    const bool existed = probe.exists();
    bool writable = false;
    {
        juce::FileOutputStream stream (probe);
        writable = stream.openedOk();
    }
    if (! existed)
        probe.deleteFile();

    if (! writable)
    {
        error = "cannot write " + file.getFullPathName();
        return false;
    }

    return true;
}

bool writeWavFile (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate,
                   juce::String& error)
{
    const auto temp = partialFileFor (file);
    temp.deleteFile();

    {
        auto stream = std::make_unique<juce::FileOutputStream> (temp);
        if (! stream->openedOk())
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }

        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (
            wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));

        if (writer == nullptr)
        {
            stream.reset();
            temp.deleteFile();
            error = "cannot create a WAV writer for " + file.getFullPathName();
            return false;
        }

        stream.release(); // the writer owns the stream now
        const bool ok = writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()) && writer->flush();
        writer.reset();

        if (! ok)
        {
            temp.deleteFile();
            error = "writing " + file.getFullPathName() + " failed";
            return false;
        }
    }

    if (! temp.moveFileTo (file))
    {
        temp.deleteFile();
        error = "cannot move the rendered file into place at " + file.getFullPathName();
        return false;
    }

    return true;
}
} // namespace gribb::render
