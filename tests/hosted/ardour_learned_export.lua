-- Ardour's headless Lua session tool plays a learned controller from a MIDI region; run by
-- ardour_learned_export.sh as `ardour7-lua ardour_learned_export.lua PHASE SESSION_DIR [EXPORT_DIR]`.
--
--   record  a new session at 48 kHz with one MIDI track and the VST3 (its panner bypassed, so the
--           track's output reaches the master bus unchanged); a chord and controller 21 swept
--           over its whole travel are played into the track's input from Ardour's virtual
--           keyboard port and recorded as a MIDI region; the session is saved.
--   export  the session (whose plug-in state the shell script has given a binding of CC 21 to
--           the cutoff) is opened again and its range exported as a 32-bit float WAV file.
--
-- Every phase prints "BLOCK <samples per cycle>", and record prints the region as
-- "REGION <position> <length>" in samples.

dofile (os.getenv ("GRIBB_ARDOUR_LUA_DIR") .. "/ardour_common.lua")

local phase, dir, exportDir = arg[1], arg[2], arg[3]
local name = "learned"

startDummyEngine ()

if phase == "record" then
	newSession (dir, name)
	print ("BLOCK " .. Session:get_block_size ())

	local track = addSynthTrack ()
	track:panner_shell ():set_bypassed (true)

	-- Ardour's virtual keyboard port plays into the track's input.
	local keyboard
	local _, ports = Session:engine ():get_ports (ARDOUR.DataType ("midi"), ARDOUR.PortList ())
	for p in ports[2]:iter () do
		local async = p:to_asyncmidiport ()
		if not async:isnil () and async:sends_output () and p:name () == "x-virtual-keyboard" then keyboard = async end
	end
	if not keyboard then fail ("no virtual keyboard port") end
	local input = track:input ()
	input:disconnect_all (nil)
	if input:connect (input:nth (0), keyboard:name (), nil) ~= 0 then fail ("cannot connect the keyboard") end

	local parser = ARDOUR.RawMidiParser ()
	local function send (bytes)
		for _, b in ipairs (bytes) do
			if parser:process_byte (b) then keyboard:write (parser:midi_buffer (), parser:buffer_size (), 0) end
		end
	end

	track:rec_enable_control ():set_value (1, PBD.GroupControlDisposition.NoGroup)
	ARDOUR.LuaAPI.usleep (300000)
	Session:maybe_enable_record (false)
	Session:request_roll (ARDOUR.TransportRequestSource.TRS_UI)
	ARDOUR.LuaAPI.usleep (300000)

	for _, note in ipairs ({ 48, 55, 60, 64 }) do send ({ 0x90, note, 100 }) end
	for i = 0, 100 do
		send ({ 0xB0, 21, math.floor (63.5 - 63.5 * math.cos (i * 0.13) + 0.5) })
		ARDOUR.LuaAPI.usleep (25000)
	end
	for _, note in ipairs ({ 48, 55, 60, 64 }) do send ({ 0x80, note, 0 }) end
	ARDOUR.LuaAPI.usleep (300000)
	Session:request_stop (false, false, ARDOUR.TransportRequestSource.TRS_UI)
	ARDOUR.LuaAPI.usleep (600000)

	local count = 0
	for r in track:playlist ():region_list ():iter () do
		print (string.format ("REGION %d %d", r:position ():samples (), r:length ():samples ()))
		count = count + 1
	end
	if count ~= 1 then fail ("expected one recorded region, found " .. count) end
	Session:save_state ("", false, false, false, false, false)
	close_session ()
elseif phase == "export" then
	openSession (dir, name)
	print ("BLOCK " .. Session:get_block_size ())
	ARDOUR.LuaAPI.usleep (300000)

	local track = Session:route_by_name ("Synth")
	if track:isnil () then fail ("the track is gone") end
	local region
	for r in track:to_track ():playlist ():region_list ():iter () do region = r end
	if not region then fail ("the region is gone") end

	local export = Session:simple_export ()
	export:set_name ("export")
	export:set_folder (exportDir)
	-- The region and two seconds of the release after it.
	export:set_range (region:position ():samples (), region:position ():samples () + region:length ():samples () + 96000)
	if not export:set_preset ("6b1f3d52-7a8e-4c1f-9b0e-3a6e0c8d2f11") then fail ("no export preset") end
	if not export:run_export () then fail ("the export failed") end
	-- The file is complete here; Ardour 7.3's headless tool now and then crashes while closing
	-- a session it has exported, which costs nothing of the export.
	print ("DONE export")
	close_session ()
	os.exit (0)
else
	print ("FAIL unknown phase " .. tostring (phase))
	os.exit (1)
end

print ("DONE " .. phase)
