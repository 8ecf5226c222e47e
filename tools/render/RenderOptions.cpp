#include "RenderOptions.h"

namespace gribb::render
{
namespace
{
bool isNumber (const juce::String& s, bool allowFraction)
{
    const auto t = s.trim();
    if (t.isEmpty())
        return false;
    return allowFraction ? t.containsOnly ("0123456789.eE+-") && t.containsAnyOf ("0123456789")
                         : t.containsOnly ("0123456789") ;
}
/** --state FILE, --save-state FILE, --learn CC=TARGET and --automate CC=ID. */
bool parseStateOption (const juce::String& arg, int& i, const juce::StringArray& args, RenderOptions& options, juce::String& error)
{
    if (i + 1 >= args.size())
    {
        error = "option " + arg + " needs a value";
        return false;
    }
    const auto value = args[++i];
    const auto cwd = juce::File::getCurrentWorkingDirectory();

    if (arg == "--state" || arg == "--save-state")
    {
        if (value.trim().isEmpty())
        {
            error = "bad value '' for " + arg + " (expected a file)";
            return false;
        }
        (arg == "--state" ? options.stateFile : options.saveStateFile) = cwd.getChildFile (value);
        return true;
    }

    const auto controller = value.upToFirstOccurrenceOf ("=", false, false).trim();
    const auto target = value.fromFirstOccurrenceOf ("=", false, false).trim();
    if (! value.containsChar ('=') || ! isNumber (controller, false) || controller.length() > 3
        || controller.getIntValue() > 127 || target.isEmpty())
    {
        error = "bad value '" + value + "' for " + arg + " (expected CC=" + (arg == "--learn" ? "TARGET" : "ID")
              + ", CC a controller number 0..127)";
        return false;
    }
    (arg == "--learn" ? options.learned : options.automated).emplace_back (controller.getIntValue(), target);
    return true;
}
} // namespace

juce::String renderUsage()
{
    return juce::String ("usage: gribb-render [options]\n"
           "  --plugin PATH        VST3 or LV2 bundle to load (default: Gribb Tazo.vst3 installed with\n"
           "                       this program in <prefix>/lib/vst3, else ~/.vst3's, else the system's)\n"
           "  --midi FILE          standard MIDI file to play (default: a built-in demo phrase)\n"
           "  --out FILE           WAV file to write (default: gribb-render.wav); its folder must exist\n"
           "  --mkdir              create the output file's folder if it is missing\n"
           "  --rate HZ            sample rate, 8000..384000 (default 48000)\n"
           "  --block N            block size in samples, 1..65536 (default 512)\n"
           "  --channels N         1 (mono) or 2 (stereo, default)\n"
           "  --tail SECONDS       time rendered after the last MIDI event, 0..600 (default 2)\n"
           "  --program P          select a program before rendering: its number N (from 0, in the\n"
           "                       order --list-programs prints), its whole name, or the number its\n"
           "                       name starts with (\"05\" or \"05.\")\n"
           "  --param ID=VALUE     set a parameter (ID or name, any case) to a plain value or a\n"
           "                       choice's name; repeatable; applied after --program\n"
           "  --state FILE         restore a state the plug-in saved (with its learned controllers)\n"
           "                       before --program, --param and --learn\n"
           "  --learn CC=TARGET    learn controller CC (0..119) to TARGET (a parameter's ID or name,\n"
           "                       or crush or warp) on any MIDI channel; repeatable; after --param\n"
           "  --automate CC=ID     play controller CC of the MIDI as the parameter's automation\n"
           "                       (CC value / 127 of its range, set before the block the controller\n"
           "                       falls in) instead of sending it; repeatable (an LV2 host\n"
           "                       sees each port's range as linear)\n"
           "  --save-state FILE    write the state after --state, --program, --param and --learn to\n"
           "                       FILE and exit without rendering\n")
         + pitchOptionsUsage()
         + "  --list-programs      print the plug-in's programs and exit\n"
           "  --list-params        print the plug-in's parameters (ID, name, range, unit, value, after\n"
           "                       --program and --param) and exit\n"
           "  --list-all-params    the same, with the parameters a host adds of its own\n"
           "  --help               print this text\n"
           "exit codes: 0 done, 1 bad command line, 2 plug-in not loadable, 3 MIDI file or state file\n"
           "            unreadable, 4 unknown program, parameter or --learn target, or bad value,\n"
           "            5 output not writable, 6 scale or keyboard mapping file unreadable or invalid\n";
}

bool parseRenderOptions (const juce::StringArray& args, RenderOptions& options, juce::String& error)
{
    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        auto value = [&] (juce::String& out) -> bool
        {
            if (i + 1 >= args.size())
            {
                error = "option " + arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };

        auto number = [&] (double lo, double hi, bool fraction, double& out) -> bool
        {
            juce::String v;
            if (! value (v))
                return false;
            if (! isNumber (v, fraction) || v.getDoubleValue() < lo || v.getDoubleValue() > hi)
            {
                error = "bad value '" + v + "' for " + arg + " (expected " + juce::String (lo) + " .. "
                      + juce::String (hi) + ")";
                return false;
            }
            out = v.getDoubleValue();
            return true;
        };

        double d = 0.0;
        juce::String s;
        bool pitchOption = false;

        if (arg == "--help" || arg == "-h")                { options.showHelp = true; }
        else if (arg == "--list-params")                   { options.listParameters = true; }
        else if (arg == "--list-all-params")               { options.listParameters = options.listHostParameters = true; }
        else if (arg == "--list-programs")                 { options.listPrograms = true; }
        else if (arg == "--mkdir")                         { options.makeFolders = true; }
        else if (arg == "--plugin")                        { if (! value (s)) return false; options.plugin = juce::File::getCurrentWorkingDirectory().getChildFile (s); }
        else if (arg == "--midi")                          { if (! value (s)) return false; options.midiFile = juce::File::getCurrentWorkingDirectory().getChildFile (s); }
        else if (arg == "--out")                           { if (! value (s)) return false; options.output = juce::File::getCurrentWorkingDirectory().getChildFile (s); }
        else if (arg == "--rate")                          { if (! number (8000, 384000, true, d)) return false; options.sampleRate = d; }
        else if (arg == "--block")                         { if (! number (1, 65536, false, d)) return false; options.blockSize = (int) d; }
        else if (arg == "--channels")                      { if (! number (1, 2, false, d)) return false; options.channels = (int) d; }
        else if (arg == "--tail")                          { if (! number (0, 600, true, d)) return false; options.tailSeconds = d; }
        else if (arg == "--program")
        {
            if (! value (s))
                return false;
            if (s.trim().isEmpty())
            {
                error = "bad value '' for --program (expected a program's number or name)";
                return false;
            }
            options.program = s.trim();
        }
        else if (arg == "--param")
        {
            if (! value (s))
                return false;
            if (! s.containsChar ('=') || s.upToFirstOccurrenceOf ("=", false, false).trim().isEmpty()
                || s.fromFirstOccurrenceOf ("=", false, false).trim().isEmpty())
            {
                error = "bad value '" + s + "' for --param (expected ID=VALUE)";
                return false;
            }
            options.parameters.emplace_back (s.upToFirstOccurrenceOf ("=", false, false).trim(),
                                             s.fromFirstOccurrenceOf ("=", false, false).trim());
        }
        else if (arg == "--state" || arg == "--save-state" || arg == "--learn" || arg == "--automate")
        {
            if (! parseStateOption (arg, i, args, options, error))
                return false;
        }
        else if (takePitchOption (args, i, options.pitch, pitchOption, error) || pitchOption)
        {
            if (error.isNotEmpty())
                return false;
        }
        else
        {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}
} // namespace gribb::render
