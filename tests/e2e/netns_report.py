#!/usr/bin/env python3
"""NICSHOW on a test host in a network namespace, through the launcher and the real DLL
under Wine: the listing and its filters, every address, mask, network and physical
address line against what the namespace was given and against Wine's own ipconfig /all,
and release, renew and bounce (which Wine answers with error 50).

Usage: netns_report.py BIN   (a Windows build's bin folder); exit 77 when namespaces
cannot be made here."""
import os
import re
import subprocess
import sys
import tempfile

BIN = os.path.abspath(sys.argv[1])
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TESTHOSTS = os.path.join(ROOT, "scripts", "testhosts.sh")
NS = "%s-report-%d" % (os.environ.get("NICSHOW_NS_PREFIX", "nicshow"), os.getpid())
# The Wine set-up of this build comes from scripts/wine-env.sh, sourced by the caller.
ENV = dict(os.environ)
WINE = ENV["WINE"]
WINESERVER = ENV["WINESERVER"]
DLL = ENV["NICSHOW_DLL"]
CRLF = "\r\n"
FAILS = []

# What the namespace is given (scripts/testhosts.sh): name -> (IPv4 with prefix, IPv6, MAC)
LAYOUT = {
    "a0": (["192.0.2.10/24", "192.0.2.11/24"], ["2001:db8:a::10"], "02-00-00-00-0A-00"),
    "a1": (["198.51.100.7/32"], [], "02-00-00-00-0A-01"),
    "b0": (["203.0.113.9/24"], [], "02-00-00-00-0B-00"),
    "b1": ([], [], "02-00-00-00-0B-01"),
    "c0": (["203.0.113.20/28"], ["2001:db8:c::20"], "02-00-00-00-0C-00"),
    "c1": ([], ["2001:db8:d::1"], "02-00-00-00-0C-01"),
}
DISCONNECTED = {"b0", "b1"}
# The default route's gateway, on a0: Wine 8 fills the gateway list of full-length records,
# so the Gateway row shows only if the DLL judges Wine's records complete.
GATEWAYS = {"a0": "192.0.2.1"}


def check(what, expected, actual):
    if expected == actual:
        print("ok: " + what)
    else:
        FAILS.append(what)
        print("FAIL: " + what)
        print("  expected: %r" % (expected,))
        print("  actual:   %r" % (actual,))


def wine_server_stop():
    # One wineserver serves the prefix whatever namespace it was started in.
    subprocess.run([WINESERVER, "-k"], env=ENV, stderr=subprocess.DEVNULL)
    subprocess.run([WINESERVER, "-w"], env=ENV, stderr=subprocess.DEVNULL)


def in_ns(args):
    # Files, not pipes: Wine's helper processes outlive the program and would hold a
    # pipe open while the kept wineserver lives.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        rc = subprocess.run(["ip", "netns", "exec", NS] + args, cwd=BIN, env=ENV,
                            stdin=subprocess.DEVNULL, stdout=out, stderr=err).returncode
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(args, rc, out.read(), err.read())


def nicshow(*switches):
    r = in_ns([WINE, "nicshow-host.exe", "--set", "noloadmsg=1", DLL, "nicshow"]
              + list(switches))
    return r.stdout.decode("utf-8"), r.stderr.decode("utf-8"), r.returncode


def label(text):
    n = 28 - len(text)
    return text + (" " if n % 2 else "") + ". " * (n // 2) + ":  "


def line(text, value):
    return label(text) + value + CRLF


def cont(value):
    return " " * 31 + value + CRLF


def mask_of(prefix):
    bits = (0xFFFFFFFF << (32 - prefix)) & 0xFFFFFFFF
    return ".".join(str((bits >> s) & 255) for s in (24, 16, 8, 0))


def network_of(address, prefix):
    a = [int(x) for x in address.split(".")]
    m = [int(x) for x in mask_of(prefix).split(".")]
    return ".".join(str(x & y) for x, y in zip(a, m)) + "/%d" % prefix


def expected_block(index, name, detailed):
    v4, v6, mac = LAYOUT.get(name, ([], [], ""))
    connected = name not in DISCONNECTED
    out = "[%d]  Ethernet adapter:  %s%s%s" % (index, name, CRLF, CRLF)
    out += line("   DNS suffix", "example.test")
    out += line("   Description", name)
    if detailed and mac:
        out += line("   Physical address", mac)
    out += line("   Media state", "Connected" if connected else "Disconnected")
    if detailed:
        out += line("   DHCP", "Disabled") + line("   Autoconfig", "Disabled")
    if connected and v4:
        first, prefix = v4[0].split("/")
        out += line("   IPv4 address", first)
        for extra in v4[1:]:
            out += cont(extra.split("/")[0])
        if name in GATEWAYS:
            out += line("   Gateway", GATEWAYS[name])
        prefix = int(prefix)
        if 1 <= prefix <= 31:
            out += line("   Subnet mask", mask_of(prefix))
            out += line("   Network CIDR", network_of(first, prefix))
    if connected and v6:
        out += line("   IPv6 address", v6[0])
        for extra in v6[1:]:
            out += cont(extra)
    if detailed and connected:
        out += line("   DNS servers", "192.0.2.53")
        if v4:
            out += line("   NetBIOS over TCP/IP", "Disabled")
    return out + CRLF


def blocks(report):
    """The adapter blocks of a report: heading line -> block text."""
    found = {}
    for m in re.finditer(r"^\[(\d+)\]  \w+ adapter:  (\S+)\r\n.*?\r\n\r\n(?=\[|\d+ adapters? listed)",
                         report, re.S | re.M):
        found[m.group(2)] = m.group(0)
    return found


def listed(report):
    return re.findall(r"^\[\d+\]  \w+ adapter:  (\S+)\r$", report, re.M)


def ipconfig_facts():
    """Wine's ipconfig /all: adapter -> (IPv4 addresses, IPv6 addresses, physical address,
    default gateway)."""
    r = in_ns([WINE, "ipconfig", "/all"])
    facts = {}
    current = None
    for raw in r.stdout.decode("utf-8", "replace").splitlines():
        text = raw.rstrip("\r")
        m = re.match(r"^\S.* adapter (\S+)$", text)
        if m:
            current = facts.setdefault(m.group(1), (set(), set(), [""], [""]))
            continue
        m = re.match(r"^\s+(IPv4 address|IPv6 address|Physical address|Default gateway)[ .]*: ?(.*)$",
                     text)
        if m and current is not None:
            kind, value = m.group(1), m.group(2).strip()
            if kind == "IPv4 address" and value:
                current[0].add(value)
            elif kind == "IPv6 address" and value:
                current[1].add(value)
            elif kind == "Physical address":
                current[2][0] = value
            elif kind == "Default gateway":
                current[3][0] = value
    return facts


def nicshow_facts(report):
    facts = {}
    for name, block in blocks(report).items():
        v4, v6, mac, gateway = set(), set(), "", ""
        kind = None
        for text in block.split(CRLF):
            if text.startswith("   IPv4 address"):
                kind = v4
            elif text.startswith("   IPv6 address"):
                kind = v6
            elif not text.startswith(" " * 31):
                kind = None
            if text.startswith("   Physical address"):
                mac = text[31:]
            if text.startswith("   Gateway"):
                gateway = text[31:]
            if kind is not None and len(text) > 31:
                kind.add(text[31:])
        facts[name] = (v4, v6, mac, gateway)
    return facts


def main():
    if subprocess.run(["bash", TESTHOSTS, "check"]).returncode != 0:
        print("SKIPPED: network namespaces cannot be made here (root and iproute2 needed)")
        return 77
    wine_server_stop()
    subprocess.run(["bash", TESTHOSTS, "create", NS], check=True)
    try:
        # A wineserver kept running inside the namespace: Wine then starts in tens of
        # milliseconds instead of half a second, and sees this namespace's interfaces.
        subprocess.run(["ip", "netns", "exec", NS, WINESERVER, "-p"], env=ENV,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return run_checks()
    finally:
        wine_server_stop()
        subprocess.run(["bash", TESTHOSTS, "delete", NS])


def run_checks():
    indexes = {}
    for text in in_ns(["ip", "-o", "link"]).stdout.decode().splitlines():
        m = re.match(r"^(\d+): ([^:@]+)", text)
        if m:
            indexes[m.group(2)] = int(m.group(1))
    host = in_ns(["hostname"]).stdout.decode().strip()
    order = sorted(indexes, key=lambda n: indexes[n])

    def expected_listing(names, detailed=False):
        out = CRLF + "Windows IP Configuration" + CRLF + CRLF
        out += line("   Host name", host) + line("   Domain", "")
        if detailed:
            out += line("   Node type", "Hybrid") + line("   IP routing", "Disabled")
            out += line("   ARP proxy", "Disabled") + line("   DNS", "Disabled")
        out += CRLF
        for name in names:
            out += expected_block(indexes[name], name, detailed)
        count = len(names)
        return out + "%d %s listed.%s" % (count, "adapter" if count == 1 else "adapters", CRLF)

    connected = [n for n in order if n in LAYOUT and n not in DISCONNECTED]
    out, err, rc = nicshow()
    check("default listing, byte for byte", expected_listing(connected), out)
    check("default listing: nothing on stderr, exit code 0", ("", 0), (err, rc))

    out, err, rc = nicshow("/I")
    check("detailed listing of the connected adapters, byte for byte",
          expected_listing(connected, detailed=True), out)

    everything = [n for n in order if n != "lo"]
    cases = [
        ((), connected),
        (("/L",), [n for n in order if n == "lo" or n in connected]),
        (("/U",), everything),
        (("/T",), connected),  # this kernel offers no tunnel device to add
        (("/A",), order),
        (("a*",), ["a1", "a0"] if indexes["a1"] < indexes["a0"] else ["a0", "a1"]),
        (("/U", "B?"), [n for n in order if n in ("b0", "b1")]),
        (("lo",), []),  # the loopback type filter comes before the mask
        (("zz*",), []),
    ]
    for switches, names in cases:
        out, err, rc = nicshow(*switches)
        check("NICSHOW %s lists %s" % (" ".join(switches) or "(no switches)", names),
              (names, rc), (listed(out), 0))
        count = len(names)
        check("NICSHOW %s count line" % " ".join(switches),
              True, out.endswith("%d %s listed.%s" % (count, "adapter" if count == 1 else "adapters", CRLF)))

    out, err, rc = nicshow("/A")
    report = blocks(out)
    for name in order:
        if name == "lo":
            continue
        check("/A block of %s, byte for byte" % name, expected_block(indexes[name], name, True),
              report.get(name))

    ours = nicshow_facts(out)
    theirs = ipconfig_facts()
    for name in order:
        if name == "lo" or name in DISCONNECTED:
            continue
        check("%s agrees with ipconfig /all on every address, the physical address and the gateway"
              % name, theirs.get(name), (ours[name][0], ours[name][1], [ours[name][2]], [ours[name][3]]))
    for name in DISCONNECTED:
        check("%s physical address agrees with ipconfig /all" % name,
              theirs.get(name, (0, 0, [None]))[2][0], ours[name][2])

    # Wine answers every release and renew with error 50; the text is Wine's own.
    message = in_ns([WINE, "nicshow-host.exe", "--message", "50"]).stdout.decode().rstrip("\r\n").rstrip()
    handled = [n for n in connected]
    for switches, steps in ((("/X",), ["Release IP for"]), (("/R",), ["Renew IP   for"]),
                            (("/B",), ["Release IP for", "Renew IP   for"]),
                            (("/X", "/R"), ["Release IP for", "Renew IP   for"])):
        out, err, rc = nicshow(*switches)
        progress = ""
        for name in handled:
            progress += CRLF
            for step in steps:
                progress += "%s #%2d \u201c%s\u201d :  Failed!%s%s" % (step, indexes[name], name, CRLF, CRLF)
        check("NICSHOW %s progress lines" % " ".join(switches), progress, out[:len(progress)])
        check("NICSHOW %s error texts on stderr" % " ".join(switches),
              ("   " + message) * (len(handled) * len(steps)), err)
        check("NICSHOW %s exit code" % " ".join(switches), 2, rc)
        check("NICSHOW %s listing follows" % " ".join(switches), expected_listing(connected),
              out[len(progress):])

    out, err, rc = nicshow("/X", "/Q", "c*")
    quiet = CRLF * 2 * len([n for n in handled if n.startswith("c")])
    check("/X /Q with a mask: an empty line per interface", quiet, out[:len(quiet)])
    check("/X /Q: only the error texts", ("   " + message) * 2, err)

    out, err, rc = nicshow("/B", "nomatch*")
    check("/B with a mask that matches nothing: straight to the header", CRLF + "Windows IP", out[:12])
    check("/B with a mask that matches nothing: exit code 0", (0, ""), (rc, err))

    if FAILS:
        print("%d check(s) failed" % len(FAILS))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
