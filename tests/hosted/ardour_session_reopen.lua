-- Ardour's headless Lua session tool drives a session as a musician would; run by
-- ardour_session_reopen.sh as `ardour7-lua ardour_session_reopen.lua PHASE SESSION_DIR`.
--
--   build   a new session, one MIDI track with the VST3, the factory program
--           "20. Motherboard Melt" from the host's preset list, then Cutoff, FM Index and
--           LFO Shape set by hand; the session is saved.
--   reopen  the saved session is opened again, the host reads every parameter (as its
--           mixer strip and its own saving do), and the result is saved as the snapshot
--           "reopened".
--
-- Every phase prints the parameters the host shows as lines "PARAM <index> <label> <value>".

dofile (os.getenv ("GRIBB_ARDOUR_LUA_DIR") .. "/ardour_common.lua")

local phase, dir = arg[1], arg[2]
local name = "reopen"
local program = "20. Motherboard Melt"
local handSet = { ["Cutoff"] = 0.62, ["FM Index"] = 0.125, ["LFO Shape"] = 1 / 3 }

local function settle ()
	-- Let the engine run a few hundred process cycles.
	ARDOUR.LuaAPI.usleep (400000)
end

local function labels (plugin)
	local result = {}
	for i = 0, plugin:parameter_count () - 1 do
		local _, pd = plugin:get_parameter_descriptor (i, ARDOUR.ParameterDescriptor ())
		result[i] = pd[2].label
	end
	return result
end

local function printParameters (proc, plugin)
	local names = labels (plugin)
	for i = 0, plugin:parameter_count () - 1 do
		local value = ARDOUR.LuaAPI.get_processor_param (proc, i)
		print (string.format ("PARAM %d %s %.9f", i, names[i], value))
	end
end

startDummyEngine ()

if phase == "build" then
	newSession (dir, name)

	-- Listing the plug-ins reads Ardour's scan cache, as its plug-in selector does.
	local found = false
	for info in ARDOUR.LuaAPI.list_plugins ():iter () do
		if info.type == ARDOUR.PluginType.VST3 and info.name == "Gribb Tazo" then found = true end
	end
	if not found then fail ("Ardour does not list the VST3 \"Gribb Tazo\"") end

	local _, proc = addSynthTrack ()
	local plugin = proc:to_insert ():plugin (0)
	settle ()

	local preset = plugin:preset_by_label (program)
	if not preset or not preset.valid then fail ("no factory program \"" .. program .. "\" in the preset list") end
	plugin:load_preset (preset)
	settle ()

	-- The host's copy follows the program: "Oscillator" goes from "Square" (0) to "FM" (1).
	local names = labels (plugin)
	for i = 0, plugin:parameter_count () - 1 do
		if names[i] == "Oscillator" then
			local value = ARDOUR.LuaAPI.get_processor_param (proc, i)
			print (string.format ("PROGRAM Oscillator %.9f", value))
			if math.abs (value - 1) > 1e-6 then fail ("the host does not show the program's values") end
		end
	end

	for i = 0, plugin:parameter_count () - 1 do
		local value = handSet[names[i]]
		if value then
			ARDOUR.LuaAPI.set_processor_param (proc, i, value)
			print (string.format ("SET %s %.9f", names[i], value))
		end
	end
	settle ()

	printParameters (proc, plugin)
	Session:save_state ("", false, false, false, false, false)
	print ("PRESET " .. plugin:last_preset ().label)
	close_session ()
elseif phase == "reopen" then
	openSession (dir, name)
	settle ()

	local track = Session:route_by_name ("Synth")
	if track:isnil () then fail ("the track is gone") end
	local proc = track:nth_plugin (0)
	if proc:isnil () then fail ("the plug-in is gone") end
	local plugin = proc:to_insert ():plugin (0)

	-- The host's strip and its saving code read every parameter, twice over some cycles.
	printParameters (proc, plugin)
	settle ()
	printParameters (proc, plugin)
	settle ()

	Session:save_state ("reopened", false, false, false, false, false)
	close_session ()
else
	print ("FAIL unknown phase " .. tostring (phase))
	os.exit (1)
end

print ("DONE " .. phase)
