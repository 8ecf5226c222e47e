"""The VST3 plug-in state that Ardour keeps in a session file, for the Ardour tests.

Ardour saves a VST3's state as base64 text in the <chunk> of the plug-in's <vst3> node. The bytes
are Ardour's container: "VST3", a version, the class ID (32 bytes), the offset of the chunk list;
then the chunks; then the list: "List", the count, and (ID, offset, size) for each chunk. The
component's chunk ("Comp") is the plug-in's own block: "VC2!", the text length, the XML text.
"""
import base64
import struct
import xml.etree.ElementTree as ET

HEADER_SIZE = 48


def plugin_node(tree):
    """The first <vst3> node of a parsed session that holds a chunk."""
    return next(n for n in tree.getroot().iter("vst3") if n.find("chunk") is not None)


def read_chunks(node):
    """The node's container as (header bytes, [(ID, bytes), ...])."""
    blob = base64.b64decode(node.find("chunk").text.strip())
    list_offset = struct.unpack_from("<q", blob, 40)[0]
    assert blob[list_offset:list_offset + 4] == b"List", "no chunk list where the header says"
    count = struct.unpack_from("<i", blob, list_offset + 4)[0]
    chunks = []
    for i in range(count):
        cid, offset, size = struct.unpack_from("<4sqq", blob, list_offset + 8 + 20 * i)
        chunks.append((cid, blob[offset:offset + size]))
    return blob[:HEADER_SIZE], chunks


def write_chunks(node, header, chunks):
    """Puts a container made of the header and chunks into the node."""
    out = bytearray(header)
    entries = []
    for cid, data in chunks:
        entries.append((cid, len(out), len(data)))
        out += data
    struct.pack_into("<q", out, 40, len(out))
    out += b"List" + struct.pack("<i", len(entries))
    for cid, offset, size in entries:
        out += struct.pack("<4sqq", cid, offset, size)
    node.find("chunk").text = base64.b64encode(bytes(out)).decode("ascii")


def component_parameters(node):
    """The plug-in's own state in the node: ({parameter ID: value}, currentProgram)."""
    _, chunks = read_chunks(node)
    comp = next((data for cid, data in chunks if cid == b"Comp"), None)
    if comp is None:
        raise SystemExit("no component state in the chunk")
    length = struct.unpack_from("<I", comp, 4)[0]
    params = ET.fromstring(comp[8:8 + length].decode("utf-8"))
    values = {p.get("id"): float(p.get("value")) for p in params.findall("PARAM")}
    return values, int(params.get("currentProgram"))
