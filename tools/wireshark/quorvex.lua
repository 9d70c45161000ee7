-- Wireshark and tshark dissector for Quorvex session captures (quorvex-tap; link type USER0, 147):
-- the display events of the control's stream and the panel's commands, as quorvex-dump reads
-- them. Install: copy into the personal Lua plugins folder (Help > About > Folders), or load it
-- once with  tshark -X lua_script:quorvex.lua -r session.pcapng
--
-- Each packet is one pipe read. Both directions are decoded in file order on the first pass and
-- the result is kept per frame, so that an address or a command begun in one packet shows whole
-- in the packet that ends it. The tables restate the panel's own tables in their order; a test
-- compares this dissector with quorvex-dump --json so that the two cannot drift apart.

local quorvex = Proto("quorvex", "Quorvex")

local fields = {
    direction = ProtoField.string("quorvex.direction", "Direction"),
    event = ProtoField.string("quorvex.event", "Display event"),
    command = ProtoField.string("quorvex.command", "Command"),
    row = ProtoField.uint32("quorvex.row", "Row"),
    column = ProtoField.uint32("quorvex.column", "Column"),
    line = ProtoField.uint32("quorvex.line", "Line"),
    text = ProtoField.string("quorvex.text", "Text"),
    key = ProtoField.string("quorvex.key", "Key"),
    adjust = ProtoField.string("quorvex.adjust", "Adjust direction"),
    speed = ProtoField.string("quorvex.speed", "Adjust speed"),
    code = ProtoField.uint8("quorvex.code", "Control code", base.HEX),
    begun = ProtoField.framenum("quorvex.begun_in", "Begun in frame"),
    unfinished = ProtoField.string("quorvex.unfinished", "Continues in a later packet"),
    ignored = ProtoField.uint32("quorvex.ignored", "Bytes after the exit notice (the panel reads none)"),
}
quorvex.fields = {fields.direction, fields.event, fields.command, fields.row, fields.column, fields.line,
                  fields.text, fields.key, fields.adjust, fields.speed, fields.code, fields.begun,
                  fields.unfinished, fields.ignored}

local BLOCK_SIZE = 2048 -- the panel's read size
local MAX_RUN = BLOCK_SIZE - 1
local ROWS, COLUMNS = 20, 40
local P2P_RECEIVED, P2P_SENT = 1, 0 -- inbound (to the panel), outbound (to the control)

-- Control codes 0..31: the event each delivers (with a line for the line clears), "identify"
-- for the identification request, nil for none.
local CONTROL_CODES = {
    [0] = nil,
    [1] = {kind = "ClearScreen"},            -- SOH
    [7] = {kind = "SignalBell"},             -- BEL
    [8] = {kind = "ClearScreen"},            -- BS: a clear, not a backspace
    [10] = {kind = "NextLine"},              -- LF
    [11] = {kind = "ClearLine", line = 0},   -- VT
    [12] = {kind = "ClearLine", line = 1},   -- FF
    [13] = {kind = "LineStart"},             -- CR
    [14] = {kind = "SignalShiftOut"},        -- SO
    [15] = {kind = "SignalShiftIn"},         -- SI
    [20] = {kind = "ClearScreen"},           -- DC4
    [21] = {kind = "ClearCursorLine"},       -- NAK
    [22] = {kind = "ControlExited"},         -- SYN
    [26] = {kind = "IdentificationRequest"}, -- SUB: answered with "VFD"
}

-- Cursor address forms, chosen by bit 6 of the lead byte: lead xor, row offset, trail xor.
local ADDRESS_FORMS = {[0] = {0x80, 0, 0x80}, [1] = {0xC0, 50, 0xC0}}

-- Single-byte commands in the command reader's order: byte, kind, key legend, adjust, speed.
local BYTE_COMMANDS = {
    {"H", "CursorKey", "LEFT"},
    {"K", "CursorKey", "UP"},
    {"L", "CursorKey", "RIGHT"},
    {"J", "CursorKey", "DOWN"},
    {"o", "ScrollLine", "LINE UP"},
    {"O", "ScrollLine", "LINE DOWN"},
    {"Z", "Adjust", "ADJUST UP", "up", "slow"},
    {"X", "Adjust", "ADJUST DOWN", "down", "slow"},
    {"A", "Adjust", "ADJUST UP", "up", "normal"},
    {"S", "Adjust", "ADJUST DOWN", "down", "normal"},
    {"Q", "Adjust", "ADJUST UP", "up", "fast"},
    {"W", "Adjust", "ADJUST DOWN", "down", "fast"},
    {"P", "ExitKey", "EXIT"},
    {".", "Key", "."},
    {"-", "Key", "NEG"},
    {":", "Key", ":"},
    {"\n", "Key", "ENTER"},
    {"B", "Key", "FAST"},
    {"C", "Key", "SLOW"},
}
local BY_BYTE = {}
for _, c in ipairs(BYTE_COMMANDS) do
    BY_BYTE[c[1]:byte()] = {kind = c[2], key = c[3], adjust = c[4], speed = c[5]}
end
local IDENT = "VFD"
local MAX_SELECT_DIGITS = 9
local MAX_BRANCH_TEXT = 64

local function is_digit(b) return b >= 0x30 and b <= 0x39 end

-- The panel's display as far as positions go: where the cursor stands.
local function new_cursor() return {row = 0, column = 0} end

local function set_cursor(c, row, column)
    if row >= 0 and row < ROWS and column >= 0 and column < COLUMNS then c.row = row end
    c.column = column
end

local function move_cursor(c, item)
    local k = item.kind
    if k == "CursorAddress" then set_cursor(c, item.row, item.column)
    elseif k == "ClearScreen" then set_cursor(c, 0, 0)
    elseif k == "ClearLine" then set_cursor(c, item.line, 0)
    elseif k == "ClearCursorLine" or k == "LineStart" then set_cursor(c, c.row, 0)
    elseif k == "NextLine" then set_cursor(c, c.row + 1, 0)
    elseif k == "Text" and c.column >= 0 and c.column < COLUMNS then
        c.column = math.min(COLUMNS, c.column + #item.text)
    end
end

-- Per capture: the inbound decoder, the outbound command reader, and each frame's items.
local session

local function reset()
    session = {
        inbound = {lead = nil, cursor = new_cursor(), exited = false},
        outbound = {state = "idle", partial = "", first = nil},
        frames = {},
    }
end
reset()

-- Inbound: the bytes of one packet as the panel decodes them, in blocks of the panel's reads.
local function decode_inbound(d, bytes, frame)
    local items = {}
    local function deliver(item)
        if item.kind == "Text" then item.row, item.column = d.cursor.row, d.cursor.column end
        move_cursor(d.cursor, item)
        items[#items + 1] = item
    end
    if d.exited then
        if #bytes > 0 then items[1] = {kind = "ignored", first = 0, last = #bytes - 1, count = #bytes} end
        return items
    end
    for block = 0, #bytes - 1, BLOCK_SIZE do
        local stop = math.min(#bytes, block + BLOCK_SIZE) - 1
        local run_start = nil
        local function flush(last)
            if run_start then
                deliver({kind = "Text", first = run_start, last = last,
                         text = bytes:sub(run_start + 1, last + 1)})
                run_start = nil
            end
        end
        local i = block
        while i <= stop do
            local b = bytes:byte(i + 1)
            if b >= 0x20 and b < 0x80 then
                d.lead = nil
                run_start = run_start or i
                if i - run_start + 1 == MAX_RUN then flush(i) end
            else
                flush(i - 1)
                if b >= 0x80 then
                    if d.lead then
                        local form = ADDRESS_FORMS[bit32.band(bit32.rshift(d.lead.byte, 6), 1)]
                        deliver({kind = "CursorAddress", first = d.lead.frame == frame and d.lead.at or 0, last = i,
                                 row = bit32.bxor(d.lead.byte, form[1]) + form[2],
                                 column = bit32.bxor(b, form[3]),
                                 begun = d.lead.frame ~= frame and d.lead.frame or nil})
                        d.lead = nil
                    else
                        d.lead = {byte = b, at = i, frame = frame}
                    end
                else
                    d.lead = nil
                    local code = CONTROL_CODES[b]
                    if code then
                        deliver({kind = code.kind, line = code.line, code = b, first = i, last = i})
                        if code.kind == "ControlExited" then
                            d.exited = true
                            if i < #bytes - 1 then
                                items[#items + 1] = {kind = "ignored", first = i + 1, last = #bytes - 1,
                                                     count = #bytes - 1 - i}
                            end
                            return items
                        end
                    end
                end
            end
            i = i + 1
        end
        flush(stop)
    end
    if d.lead and d.lead.frame == frame then
        items[#items + 1] = {kind = "unfinished", first = d.lead.at, last = d.lead.at,
                             note = "the first byte of a cursor address"}
    end
    return items
end

-- Outbound: the command reader's states for "p..\n", "q..\n" and "VFD", across packets.
local function read_commands(r, bytes, frame)
    local items = {}
    local function emit(item, last)
        item.first = r.first and r.first.frame == frame and r.first.at or 0
        item.last = last
        item.begun = r.first and r.first.frame ~= frame and r.first.frame or nil
        items[#items + 1] = item
        r.state, r.partial, r.first = "idle", "", nil
    end
    local function abandon(last) emit({kind = "Unknown", text = r.partial}, last) end
    local i = 0
    while i < #bytes do
        local b = bytes:byte(i + 1)
        local ch = string.char(b)
        local again = false
        if r.state == "select" then
            if ch == "\n" and #r.partial > 1 then
                emit({kind = "SelectLine", line = tonumber(r.partial:sub(2))}, i)
            elseif is_digit(b) and #r.partial < 1 + MAX_SELECT_DIGITS then
                r.partial = r.partial .. ch
            else
                abandon(i - 1)
                again = true
            end
        elseif r.state == "branch" then
            if ch ~= "\n" then
                if #r.partial <= MAX_BRANCH_TEXT + 1 then r.partial = r.partial .. ch end
            elseif #r.partial > MAX_BRANCH_TEXT + 1 then
                abandon(i)
            else
                emit({kind = "Branch", text = r.partial:sub(2)}, i)
            end
        elseif r.state == "ident" then
            if ch == IDENT:sub(#r.partial + 1, #r.partial + 1) then
                r.partial = r.partial .. ch
                if #r.partial == #IDENT then emit({kind = "IdentificationAnswer", text = r.partial}, i) end
            else
                abandon(i - 1)
                again = true
            end
        else
            again = true
        end
        if again then
            if ch == "p" or ch == "q" or ch == IDENT:sub(1, 1) then
                r.state = ch == "p" and "select" or ch == "q" and "branch" or "ident"
                r.partial, r.first = ch, {frame = frame, at = i}
            else
                local c = BY_BYTE[b]
                r.first = {frame = frame, at = i}
                if is_digit(b) then
                    emit({kind = "Key", key = ch}, i)
                elseif c then
                    emit({kind = c.kind, key = c.key, adjust = c.adjust, speed = c.speed}, i)
                else
                    r.partial = ch
                    abandon(i)
                end
            end
        end
        i = i + 1
    end
    if r.state ~= "idle" then
        items[#items + 1] = {kind = "unfinished", first = r.first.frame == frame and r.first.at or 0,
                             last = #bytes - 1, note = "an unfinished command: " .. r.partial}
    end
    return items
end

local function copy(t)
    local c = {}
    for k, v in pairs(t) do c[k] = v end
    return c
end

-- A classic pcap records no direction: bytes that all continue the commands read so far are
-- outbound, as quorvex-dump decides.
local function guess_outbound(r, bytes)
    if #bytes == 0 then return false end
    for i = 1, #bytes do
        local b = bytes:byte(i)
        if b ~= 0x0A and (b < 0x20 or b >= 0x7F) then return false end
    end
    for _, item in ipairs(read_commands(copy(r), bytes, -1)) do
        if item.kind == "Unknown" then return false end
    end
    return true
end

local function quote(text) return '"' .. text .. '"' end

local function summary(item)
    local k = item.kind
    if k == "Text" then return string.format("Text %d,%d %s", item.row, item.column, quote(item.text))
    elseif k == "CursorAddress" then return string.format("CursorAddress %d,%d", item.row, item.column)
    elseif k == "ClearLine" or k == "SelectLine" then return k .. " " .. item.line
    elseif k == "Branch" or k == "Unknown" then return k .. " " .. quote(item.text)
    elseif k == "Adjust" then return "Adjust " .. item.adjust .. " " .. item.speed
    elseif k == "CursorKey" or k == "ScrollLine" or k == "Key" then return k .. " " .. item.key
    elseif k == "ignored" then return item.count .. " bytes after the exit notice"
    elseif k == "unfinished" then return "(continues)"
    end
    return k
end

local function add_item(tree, tvb, item, inbound)
    local range = tvb(item.first, math.max(0, item.last - item.first + 1))
    if item.kind == "ignored" then
        tree:add(fields.ignored, range, item.count)
        return
    end
    if item.kind == "unfinished" then
        tree:add(fields.unfinished, range, item.note)
        return
    end
    local sub = tree:add(inbound and fields.event or fields.command, range, item.kind)
    sub:set_text(summary(item))
    if item.code then sub:add(fields.code, range, item.code) end
    if item.row then sub:add(fields.row, range, item.row) end
    if item.column then sub:add(fields.column, range, item.column) end
    if item.line then sub:add(fields.line, range, item.line) end
    if item.text then sub:add(fields.text, range, item.text) end
    if item.key then sub:add(fields.key, range, item.key) end
    if item.adjust then sub:add(fields.adjust, range, item.adjust) end
    if item.speed then sub:add(fields.speed, range, item.speed) end
    if item.begun then sub:add(fields.begun, range, item.begun) end
end

function quorvex.init() reset() end

function quorvex.dissector(tvb, pinfo, tree)
    pinfo.cols.protocol = "Quorvex"
    local bytes = tvb:raw()
    local frame = pinfo.number
    local seen = session.frames[frame]
    if not seen then
        local inbound
        if pinfo.p2p_dir == P2P_RECEIVED then inbound = true
        elseif pinfo.p2p_dir == P2P_SENT then inbound = false
        else inbound = not guess_outbound(session.outbound, bytes) end
        local items = inbound and decode_inbound(session.inbound, bytes, frame)
                              or read_commands(session.outbound, bytes, frame)
        seen = {inbound = inbound, items = items}
        session.frames[frame] = seen
    end
    local direction = seen.inbound and "in" or "out"
    local root = tree:add(quorvex, tvb(), "Quorvex")
    root:add(fields.direction, direction):set_generated()
    local texts = {}
    for _, item in ipairs(seen.items) do
        add_item(root, tvb, item, seen.inbound)
        texts[#texts + 1] = summary(item)
    end
    root:append_text(string.format(", %s (%s): %d items", direction,
                                   seen.inbound and "control to panel" or "panel to control", #seen.items))
    pinfo.cols.info = direction .. "  " .. (#texts > 0 and table.concat(texts, ", ") or "(nothing)")
end

DissectorTable.get("wtap_encap"):add(wtap_encaps.USER0, quorvex)
