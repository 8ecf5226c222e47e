-- Shared by the Lua scripts of the Ardour tests (loaded with dofile from the folder that
-- ardour_common.sh's run_phase names in GRIBB_ARDOUR_LUA_DIR): the dummy engine, sessions, and
-- the MIDI track with the VST3 that both tests build.

-- Prints "FAIL <message>", closes any session and exits with 3.
function fail (message)
	print ("FAIL " .. message)
	close_session ()
	os.exit (3)
end

-- Starts Ardour's "None (Dummy)" audio backend, or exits with 3.
function startDummyEngine ()
	AudioEngine:set_backend ("None (Dummy)", "", "")
	if AudioEngine:start (false) ~= 0 then
		print ("FAIL the dummy audio engine does not start")
		os.exit (3)
	end
end

-- A new session at 48 kHz, or exits with 3.
function newSession (dir, name)
	if create_session (dir, name, 48000) == nil then
		print ("FAIL cannot create the session")
		os.exit (3)
	end
end

-- Opens a saved session, or exits with 3.
function openSession (dir, name)
	if load_session (dir, name) == nil then
		print ("FAIL cannot open the session")
		os.exit (3)
	end
end

-- A MIDI track "Synth" (one MIDI input, stereo output) with the VST3 "Gribb Tazo" as its first
-- processor: returns the track and the plug-in's processor.
function addSynthTrack ()
	local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
		ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), true, ARDOUR.PluginInfo (), nil, nil, 1,
		"Synth", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
	local track = tracks:front ()
	local proc = ARDOUR.LuaAPI.new_plugin (Session, "Gribb Tazo", ARDOUR.PluginType.VST3, "")
	if proc:isnil () then fail ("Ardour does not find the VST3 \"Gribb Tazo\"") end
	track:add_processor_by_index (proc, 0, nil, true)
	return track, proc
end
