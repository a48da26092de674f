#!/usr/bin/python3
"""scripts/install-deps.sh against a stand-in apt-get and dpkg (nothing is installed), the
packages the Makefile's goals ask it for, and wine-env.sh's reason for an x86 build that
cannot run. Exit 1 when a row fails.

    check_install_deps.py"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

LD_LINUX = os.path.exists("/lib/i386-linux-gnu/ld-linux.so.2")
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The stand-ins keep their state in $STUB: lacking (packages not installed), bad (what
# apt-get cannot install), update-fails, foreign (dpkg's foreign architectures), calls.
STUBS = {
    "dpkg-query": """grep -qxF -- "${@: -1}" "$STUB/lacking" && exit 1
printf 'install ok installed'""",
    "dpkg": """case $1 in
    --print-foreign-architectures) cat "$STUB/foreign" ;;
    --add-architecture) echo "add-architecture $2" >>"$STUB/calls"; echo "$2" >>"$STUB/foreign" ;;
esac""",
    "apt-get": """if [ "$1" = update ]; then
    echo update >>"$STUB/calls"
    [ -e "$STUB/update-fails" ] && { echo "E: stand-in update failure"; exit 100; }
    exit 0
fi
shift; pkgs=(); for a; do [[ $a == -* ]] || pkgs+=("$a"); done
echo "install ${pkgs[*]}" >>"$STUB/calls"
for p in "${pkgs[@]}"; do
    grep -qxF -- "$p" "$STUB/bad" && { echo "E: stand-in cannot install $p" >&2; exit 100; }
done
for p in "${pkgs[@]}"; do grep -vxF -- "$p" "$STUB/lacking" >"$STUB/l" || true; mv "$STUB/l" "$STUB/lacking"; done""",
    "sleep": 'echo "sleep $*" >>"$STUB/calls"',
    "sudo": 'exec "$@"',
}

LINE = ("install-deps: {what} could not be installed ({at}; apt-get's output: {log}), so "
        "{why}. Not asked for again until {until}, or until {note} is deleted.\n")
W32 = "the x86 build will not run under Wine (make run ARCH=x86, its end-to-end tests)"
NO_KERNEL = "this machine's kernel cannot start i386 programs (IA-32 emulation off)"
NO_LIBS = "the kernel can start i386 programs, only the 32-bit libraries are missing"
NO_I386 = {"NICSHOW_NO_I386": "1"}
P11 = ["p%d" % i for i in range(11)]


def tried(*pkgs):
    n = len(pkgs)
    return "install-deps: installing %d package%s with apt-get (%s): about %d minute%s\n" % (
        n, "" if n == 1 else "s", " ".join(pkgs), (n * 11 + 59) // 60,
        "" if n * 11 <= 60 else "s")


def line(what, why, old=False):
    text = LINE.replace("{what}", what).replace("{why}", why)
    return text.replace("{at}", "{was}").replace("{until}", "{was_until}") if old else text


# name, arguments, not installed, cannot be installed, note (age in minutes, packages) or
# None, environment, update fails | exit code, apt calls, note after, standard error.
# {at} and {until} in standard error: the note's time and a day later ({was} and
# {was_until}: the time of the note the row starts with); {log}, {note}: their paths;
# {i386}: what this machine lacks to run i386 programs.
ROWS = [
    ("a make run of the x64 build does not ask for 32-bit Wine",
     ["--for", "x64-run"], "wine32:i386", "wine32:i386", None, {}, False,
     0, [], None, ""),
    ("one package named: only that one",
     ["python3-matplotlib"], "python3-matplotlib wine32:i386", "", None, {}, False,
     0, ["update", "install python3-matplotlib"], None, tried("python3-matplotlib")),
    ("a make run of the x64 build asks for wine64",
     ["--for", "x64-run"], "wine64", "", None, {}, False,
     0, ["update", "install wine64"], None, tried("wine64")),
    ("a make run of the x86 build asks for 32-bit Wine, adds i386, notes it once it fails",
     ["--for", "x86-run"], "wine32:i386", "wine32:i386", None, {}, False,
     0, ["add-architecture i386", "update", "install wine32:i386"], ["wine32:i386"],
     tried("wine32:i386") + line("wine32:i386", W32 + "; {i386}")),
    ("the kernel's part of the reason, where it cannot start i386 programs",
     [], "wine32:i386", "wine32:i386", None, NO_I386, False,
     0, ["add-architecture i386", "update", "install wine32:i386"], ["wine32:i386"],
     tried("wine32:i386") + line("wine32:i386", W32 + "; " + NO_KERNEL)),
    ("a note a minute short of a day old: not asked for, said again",
     [], "wine32:i386", "wine32:i386", (1439, ["wine32:i386"]), NO_I386, False,
     0, [], ["wine32:i386"], line("wine32:i386", W32 + "; " + NO_KERNEL, old=True)),
    ("a note a minute over a day old: asked for again",
     [], "wine32:i386", "wine32:i386", (1441, ["wine32:i386"]), NO_I386, False,
     0, ["add-architecture i386", "update", "install wine32:i386"], ["wine32:i386"],
     tried("wine32:i386") + line("wine32:i386", W32 + "; " + NO_KERNEL)),
    ("a package the note does not hold is asked for alone; the note keeps its own",
     [], "wine32:i386 valgrind clang", "wine32:i386 clang", (60, ["wine32:i386"]), NO_I386,
     False, 1, ["update", "install clang valgrind", "install clang", "install valgrind"],
     ["wine32:i386", "clang"], tried("clang", "valgrind")
     + line("wine32:i386 and clang", W32 + "; " + NO_KERNEL).replace(
         "(make run ARCH=x86, its end-to-end tests)",
         "(make run ARCH=x86, its end-to-end tests) and the fuzzers will not build")),
    ("another package installed: the note keeps its time",
     ["--for", "x86-run"], "wine64 wine32:i386", "", (60, ["wine32:i386"]), NO_I386, False,
     0, ["update", "install wine64"], ["wine32:i386"],
     tried("wine64") + line("wine32:i386", W32 + "; " + NO_KERNEL, old=True)),
    ("everything installed at last, after a failed update: the stale note goes",
     [], "wine32:i386", "", (2000, ["wine32:i386"]), {}, True,
     0, ["add-architecture i386", "update", "sleep 10", "update", "install wine32:i386"],
     None, tried("wine32:i386")),
    ("a missing package other than 32-bit Wine stops make",
     ["--for", "native"], "googletest", "googletest", None, {}, False,
     1, ["update", "install googletest"], ["googletest"],
     tried("googletest") + line("googletest", "the unit tests will not build")),
    ("the same from the note, without apt-get",
     ["--for", "native"], "googletest", "googletest", (5, ["googletest"]), {}, False,
     1, [], ["googletest"], line("googletest", "the unit tests will not build", old=True)),
    ("three that cannot be had, two of one consequence, in one line",
     ["tmux", "iproute2", "ansilove"], "tmux iproute2 ansilove", "tmux iproute2 ansilove",
     None, {}, False,
     1, ["update", "install tmux iproute2 ansilove", "install tmux", "install iproute2",
         "install ansilove"], ["tmux", "iproute2", "ansilove"],
     tried("tmux", "iproute2", "ansilove") + line(
         "tmux, iproute2 and ansilove",
         "the end-to-end tests will not run and make pictures will not run")),
    ("named packages: only those, the rest installed alone after one fails",
     ["ansilove", "python3-matplotlib", "valgrind"], "ansilove python3-matplotlib valgrind",
     "ansilove", None, {}, False,
     1, ["update", "install ansilove python3-matplotlib valgrind", "install ansilove",
         "install python3-matplotlib", "install valgrind"], ["ansilove"],
     tried("ansilove", "python3-matplotlib", "valgrind")
     + line("ansilove", "make pictures will not run")),
    ("eleven packages: 121 s, about three minutes", P11, " ".join(P11), "", None, {}, False,
     0, ["update", "install " + " ".join(P11)], None,
     "install-deps: installing 11 packages with apt-get (%s): about 3 minutes\n"
     % " ".join(P11)),
    ("a set that does not exist", ["--for", "x32"], "", "", None, {}, False,
     2, [], None,
     "install-deps: no package set x32 (native, x64, x86, x64-run, x86-run, all)\n"),
]

# make's goals and the install-deps calls they make.
GOALS = [
    ([], ["--for all"]),
    (["run"], ["--for x64-run"]),
    (["run", "ARCH=x86"], ["--for x86-run"]),
    (["unit"], ["--for native"]),
    (["win32", "win64"], ["--for x64 x86"]),
    (["run", "unit"], ["--for native x64-run"]),
    (["test"], ["--for all"]),
    (["pictures"], ["--for all", "ansilove"]),
]


# wine-env.sh's reason why the x86 build cannot run: environment, whether the kernel
# starts i386 programs, whether 32-bit Wine is installed | the reason (None: it runs).
KERNEL_OFF = ("this machine cannot start i386 programs (the kernel's IA-32 emulation is off),"
              " so 32-bit Wine and the x86 build cannot run here")
NO_WINE32 = ("32-bit Wine is not installed (wine32:i386 and its 32-bit libraries; the kernel"
             " can start i386 programs), so the x86 build cannot run here")
WINE_ROWS = [
    (NO_I386, None, None, KERNEL_OFF),
    ({}, False, None, KERNEL_OFF),
    ({}, True, False, NO_WINE32),
    ({}, True, True, None),
]


def stamp(seconds):
    return time.strftime("%Y-%m-%d %H:%M", time.localtime(seconds))


def i386_programs_start():
    """Independently of the script's probe: a static i386 program from as and ld."""
    with tempfile.TemporaryDirectory() as d:
        src = "_start: mov $1, %eax\nmov $42, %ebx\nint $0x80\n.globl _start\n"
        try:
            subprocess.run(["as", "--32", "-o", d + "/p.o"], input=src, text=True, check=True)
            subprocess.run(["ld", "-m", "elf_i386", "-o", d + "/p", d + "/p.o"], check=True)
            return subprocess.run([d + "/p"]).returncode == 42
        except (OSError, subprocess.CalledProcessError):
            return False


def run_row(row, tmp, i386):
    (name, args, lack, bad, note, env, update_fails, rc, calls, note_after, err) = row
    stub, build = tmp + "/stub", tmp + "/build"
    os.makedirs(stub)
    os.makedirs(build)
    for tool, text in STUBS.items():
        with open(os.path.join(stub, tool), "w") as f:
            f.write("#!/bin/bash\n" + text + "\n")
        os.chmod(os.path.join(stub, tool), 0o755)
    for key, value in (("lacking", lack), ("bad", bad), ("foreign", ""), ("calls", "")):
        with open(os.path.join(stub, key), "w") as f:
            f.write("".join(p + "\n" for p in value.split()))
    if update_fails:
        open(stub + "/update-fails", "w").close()
    notefile, log = build + "/install-deps.missing", build + "/install-deps.log"
    was = 0
    if note:
        with open(notefile, "w") as f:
            f.write("# old\n" + "".join(p + "\n" for p in note[1]))
        was = time.time() - note[0] * 60
        os.utime(notefile, (was, was))
    full = {k: v for k, v in os.environ.items() if k != "NICSHOW_NO_I386"}
    full.update(PATH=stub + ":" + os.environ["PATH"], STUB=stub, NICSHOW_BUILD=build, **env)
    got = subprocess.run(["bash", ROOT + "/scripts/install-deps.sh"] + args, env=full,
                         capture_output=True, text=True)
    with open(stub + "/calls") as f:
        got_calls = f.read().splitlines()
    got_note = None
    if os.path.exists(notefile):
        with open(notefile) as f:
            got_note = [l for l in f.read().splitlines() if not l.startswith("#")]
        at = os.stat(notefile).st_mtime
        err = err.format(at=stamp(at), until=stamp(at + 86400), was=stamp(was),
                         was_until=stamp(was + 86400), log=log, note=notefile,
                         i386=NO_KERNEL if not i386 else NO_LIBS if not LD_LINUX else
                         "this machine runs i386 programs")
    problems = []
    if got.returncode != rc:
        problems.append("exit code %d, expected %d" % (got.returncode, rc))
    if got_calls != calls:
        problems.append("apt-get and dpkg calls %r, expected %r" % (got_calls, calls))
    if got_note != note_after:
        problems.append("note %r, expected %r" % (got_note, note_after))
    if got.stderr != err:
        problems.append("standard error\n  %r\nexpected\n  %r" % (got.stderr, err))
    if got.stdout:
        problems.append("standard output %r, expected nothing" % got.stdout)
    if (bad or update_fails) and calls and (
            not os.path.exists(log) or "E: stand-in" not in open(log).read()):
        problems.append("apt-get's errors are not in the log")
    return problems


def wine_problems(row, i386, wine32):
    env, kernel, wine, why = row
    if (kernel is not None and kernel != i386) or (wine is not None and wine != wine32):
        return None
    with tempfile.TemporaryDirectory() as tmp:
        open(tmp + "/Nicshow-x86.dll", "w").close()
        full = {k: v for k, v in os.environ.items() if k != "NICSHOW_NO_I386"}
        full.update(env)
        got = subprocess.run(["bash", "-c", 'source "$0/scripts/wine-env.sh" "$1"; wine_can_run',
                              ROOT, tmp], env=full, capture_output=True, text=True)
    expected = ("", 0) if why is None else (why + "\n", 1)
    if (got.stdout, got.returncode) == expected:
        return []
    return ["%r and %d, expected %r and %d" % ((got.stdout, got.returncode) + expected)]


def goal_problems(goals, expected):
    env = {k: v for k, v in os.environ.items()
           if k not in ("MAKEFLAGS", "MFLAGS", "MAKEOVERRIDES", "MAKELEVEL", "ARCH", "DEPS")}
    got = subprocess.run(["make", "-n", "-s", "-C", ROOT, "BUILD=/nonexistent"] + goals,
                         env=env, capture_output=True, text=True)
    calls = [l.split("install-deps.sh ", 1)[1] for l in got.stdout.splitlines()
             if "install-deps.sh" in l]
    return [] if calls == expected else ["install-deps %r, expected %r" % (calls, expected)]


def main():
    failures = 0
    i386 = i386_programs_start()
    for row in ROWS:
        with tempfile.TemporaryDirectory() as tmp:
            problems = run_row(row, tmp, i386)
        for p in problems:
            print("FAIL: %s: %s" % (row[0], p))
        failures += bool(problems)
    wine32 = os.access("/usr/lib/wine/wine", os.X_OK) and LD_LINUX
    ran = 0
    for row in WINE_ROWS:
        problems = wine_problems(row, i386, wine32)
        ran += problems is not None
        for p in problems or []:
            print("FAIL: wine-env.sh with %r: %s" % (row[0], p))
        failures += bool(problems)
    for goals, expected in GOALS:
        problems = goal_problems(goals, expected)
        for p in problems:
            print("FAIL: make %s: %s" % (" ".join(goals), p))
        failures += bool(problems)
    print("deps-check: %d of %d rows failed (%d of wine-env.sh's rows do not fit this machine)"
          % (failures, len(ROWS) + ran + len(GOALS), len(WINE_ROWS) - ran))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
