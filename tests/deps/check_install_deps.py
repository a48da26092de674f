#!/usr/bin/python3
"""scripts/install-deps.sh against a stand-in apt-get and dpkg (nothing is installed), the
packages the Makefile's goals ask it for, wine-env.sh's reason for an x86 build that
cannot run (with noexec folders too), make run ARCH=x86's early refusal, make e2e's way
past a failing script, and bench-wine.sh's verdicts. Exit 1 when a row fails.

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
# apt-get cannot install), update-fails, foreign (dpkg's foreign architectures), calls;
# STUB_DPKG_FAILS is dpkg's error on adding an architecture, STUB_UID the user's id.
STUBS = {
    "dpkg-query": """grep -qxF -- "${@: -1}" "$STUB/lacking" && exit 1
printf 'install ok installed'""",
    "dpkg": """case $1 in
    --print-foreign-architectures) cat "$STUB/foreign" ;;
    --add-architecture) echo "add-architecture $2" >>"$STUB/calls"
        [ -n "${STUB_DPKG_FAILS:-}" ] && { echo "$STUB_DPKG_FAILS" >&2; exit 2; }
        echo "$2" >>"$STUB/foreign" ;;
esac""",
    "id": """[ "$1" = -u ] && { echo "${STUB_UID:-0}"; exit; }
echo "stand-in id: $*" >&2; exit 1""",
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

LINE = ("install-deps: {what} could not be installed ({at}; {cause}), so "
        "{why}. Not asked for again until {until}, or until {note} is deleted.\n")
APT = "apt-get's output: {log}"
W32 = "the x86 build will not run under Wine (make run ARCH=x86, its end-to-end tests)"
NO_KERNEL = "this machine's kernel cannot start i386 programs (IA-32 emulation off)"
NO_LIBS = "the kernel can start i386 programs, only the 32-bit libraries are missing"
NO_I386 = {"NICSHOW_NO_I386": "1"}
DPKG_ERROR = "dpkg: error: stand-in cannot add an architecture"
DPKG_FAILS = {"STUB_DPKG_FAILS": "dpkg: warning: stand-in noise\n" + DPKG_ERROR + "\n"}
NO_ARCH = "the i386 architecture could not be added: "
NOT_ROOT = {"STUB_UID": "1000"}  # and no sudo anywhere on its PATH
P11 = ["p%d" % i for i in range(11)]


def tried(*pkgs):
    n = len(pkgs)
    return "install-deps: installing %d package%s with apt-get (%s): about %d minute%s\n" % (
        n, "" if n == 1 else "s", " ".join(pkgs), (n * 11 + 59) // 60,
        "" if n * 11 <= 60 else "s")


def line(what, why, old=False, cause=APT):
    text = LINE.replace("{what}", what).replace("{why}", why).replace("{cause}", cause)
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
    ("i386 cannot be added: 32-bit Wine noted with dpkg's error, the rest installed, make goes on",
     ["--for", "x86-run"], "wine64 wine32:i386", "", None, DPKG_FAILS, False,
     0, ["add-architecture i386", "update", "install wine64"],
     ["wine32:i386\t" + NO_ARCH + DPKG_ERROR],
     tried("wine64") + line("wine32:i386", W32 + "; {i386}", cause=NO_ARCH + DPKG_ERROR)),
    ("the same from the note: its reason said again, nothing run",
     ["--for", "x86-run"], "wine32:i386", "", (5, ["wine32:i386\t" + NO_ARCH + DPKG_ERROR]),
     DPKG_FAILS, False, 0, [], ["wine32:i386\t" + NO_ARCH + DPKG_ERROR],
     line("wine32:i386", W32 + "; {i386}", old=True, cause=NO_ARCH + DPKG_ERROR)),
    ("not root and no sudo: nothing run, every missing package in one line with why",
     [], "wine32:i386 clang", "", None, NOT_ROOT, False,
     1, [], ["wine32:i386\t" + NO_ARCH + "not root, and no sudo",
             "clang\tnot root, and no sudo to run apt-get"],
     line("wine32:i386 and clang", W32 + " and the fuzzers will not build; {i386}",
          cause=NO_ARCH + "not root, and no sudo; not root, and no sudo to run apt-get")),
    ("a folder it cannot write: one line and its own exit code",
     ["--for", "native"], "googletest", "", None,
     {"NICSHOW_BUILD": "/dev/null/build", "LC_ALL": "C"}, False, 3, [], None,
     "mkdir: cannot create directory '/dev/null': Not a directory\n"
     "install-deps: stopped: \"mkdir -p \"$build\"\" failed (exit code 1)\n"),
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
# starts i386 programs, whether 32-bit Wine is installed, which folders are mounted noexec
# (in a mount namespace of the row's own: TMPDIR, or every one the probe may use) | the
# reason (None: it runs).
KERNEL_OFF = ("this machine cannot start i386 programs (the kernel's IA-32 emulation is off),"
              " so 32-bit Wine and the x86 build cannot run here")
NO_WINE32 = ("32-bit Wine is not installed (wine32:i386 and its 32-bit libraries; the kernel"
             " can start i386 programs), so the x86 build cannot run here")
NO_EXEC = ("no folder here allows programs to be executed (TMPDIR, the build folder, /tmp,"
           " /var/tmp and /dev/shm tried), so whether the kernel starts i386 programs is not"
           " known; the x86 build is not run here")
WINE_ROWS = [
    (NO_I386, None, None, "", KERNEL_OFF),
    ({}, False, None, "", KERNEL_OFF),
    ({}, True, False, "", NO_WINE32),
    ({}, True, True, "", None),
    ({}, False, None, "tmpdir", KERNEL_OFF),
    ({}, True, False, "tmpdir", NO_WINE32),
    ({}, True, True, "tmpdir", None),
    ({}, None, None, "all", NO_EXEC),
    (NO_I386, None, None, "all", KERNEL_OFF),
]
WINE_SCRIPT = r"""case $1 in
    tmpdir) export TMPDIR=$2/noexec; mkdir "$TMPDIR"
        mount -t tmpfs -o noexec tmpfs "$TMPDIR" || exit 97 ;;
    all) for d in /tmp /var/tmp /dev/shm; do mount -t tmpfs -o noexec tmpfs $d || exit 97; done
        export TMPDIR=/tmp NICSHOW_BUILD=/tmp/b; set -- "$1" /tmp/b "$3" ;;
esac
mkdir -p "$2/win32/bin" && : >"$2/win32/bin/Nicshow-x86.dll"
source "$3/scripts/wine-env.sh" "$2/win32/bin"
wine_can_run"""

# make's steps, in order, for goals that run a build: the x86 check comes before its build.
STEPS = [
    (["run"], ["deps", "build win64", "run"]),
    (["run", "ARCH=x86"], ["deps", "check", "build win32", "run"]),
]

# bench-wine.sh's verdict on the ipconfig target: (interfaces, ipconfig /all in ms) in the
# tsv's order, every other median 10 ms | what follows "at 3 interfaces:".
IPC = "target nicshow%s at least 3 times faster than ipconfig /all at 3 interfaces:"
BENCH_ROWS = [
    ([(3, 35), (51, 20), (501, 6)],
     "  3: met, 1.2 times the target (3.5 times)  51: 2.00 times (n/a)  501: 0.60 times (n/a)"),
    ([(501, 6)], "  3: not measured  501: 0.60 times (n/a)"),
    ([(501, 6), (3, 29)], "  501: 0.60 times (n/a)  3: MISSED by 3% (2.90 times)"),
]


def exec_dir():
    """A folder whose files may be executed, for the stand-ins (TMPDIR may be noexec)."""
    for d in (tempfile.gettempdir(), ROOT):
        with tempfile.TemporaryDirectory(dir=d) as t:
            shutil.copy(shutil.which("true"), t)
            try:
                subprocess.run([t + "/true"], check=True)
                return d
            except (OSError, subprocess.CalledProcessError):
                pass
    sys.exit("deps-check: no folder here allows programs to be executed")


EXEC_DIR = exec_dir()


def without_sudo(path, tmp):
    """PATH with every sudo on it hidden behind a folder of links to the rest."""
    dirs = []
    for i, d in enumerate(path.split(":")):
        if os.path.exists(d + "/sudo"):
            os.makedirs("%s/path%d" % (tmp, i))
            for name in set(os.listdir(d)) - {"sudo"}:
                os.symlink(d + "/" + name, "%s/path%d/%s" % (tmp, i, name))
            d = "%s/path%d" % (tmp, i)
        dirs.append(d)
    return ":".join(dirs)


def stamp(seconds):
    return time.strftime("%Y-%m-%d %H:%M", time.localtime(seconds))


def i386_programs_start():
    """Independently of the script's probe: a static i386 program from as and ld."""
    with tempfile.TemporaryDirectory(dir=EXEC_DIR) as d:
        src = "_start: mov $1, %eax\nmov $42, %ebx\nint $0x80\n.globl _start\n"
        try:
            subprocess.run(["as", "--32", "-o", d + "/p.o"], input=src, text=True, check=True)
            subprocess.run(["ld", "-m", "elf_i386", "-o", d + "/p", d + "/p.o"], check=True)
            return subprocess.run([d + "/p"]).returncode == 42
        except (OSError, subprocess.CalledProcessError):
            return False


def stand_ins(tmp, lack="", bad=""):
    stub = tmp + "/stub"
    os.makedirs(stub)
    for tool, text in STUBS.items():
        with open(os.path.join(stub, tool), "w") as f:
            f.write("#!/bin/bash\n" + text + "\n")
        os.chmod(os.path.join(stub, tool), 0o755)
    for key, value in (("lacking", lack), ("bad", bad), ("foreign", ""), ("calls", "")):
        with open(os.path.join(stub, key), "w") as f:
            f.write("".join(p + "\n" for p in value.split()))
    return stub


def run_row(row, tmp, i386):
    (name, args, lack, bad, note, env, update_fails, rc, calls, note_after, err) = row
    stub, build = stand_ins(tmp, lack, bad), tmp + "/build"
    os.makedirs(build)
    if update_fails:
        open(stub + "/update-fails", "w").close()
    notefile, log = build + "/install-deps.missing", build + "/install-deps.log"
    was = 0
    if note:
        with open(notefile, "w") as f:
            f.write("# old\n" + "".join(p + "\n" for p in note[1]))
        was = time.time() - note[0] * 60
        os.utime(notefile, (was, was))
    path = os.environ["PATH"]
    if env.get("STUB_UID", "0") != "0":
        os.remove(stub + "/sudo")
        path = without_sudo(path, tmp)
    full = {k: v for k, v in os.environ.items() if k != "NICSHOW_NO_I386"}
    full.update(PATH=stub + ":" + path, STUB=stub, NICSHOW_BUILD=build)
    full.update(env)
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
    """None: the row does not fit this machine; "skipped": no mount namespace here."""
    env, kernel, wine, noexec, why = row
    if (kernel is not None and kernel != i386) or (wine is not None and wine != wine32):
        return None
    with tempfile.TemporaryDirectory(dir=EXEC_DIR) as tmp:
        full = {k: v for k, v in os.environ.items()
                if k not in ("NICSHOW_NO_I386", "NICSHOW_BUILD", "TMPDIR")}
        full.update(env)
        got = subprocess.run((["unshare", "-m"] if noexec else []) + [
            "bash", "-c", WINE_SCRIPT, "-", noexec, tmp, ROOT], env=full, capture_output=True,
            text=True)
    if noexec and (got.returncode not in (0, 1) or got.stderr.startswith("unshare:")):
        return "skipped"
    expected = ("", 0) if why is None else (why + "\n", 1)
    if (got.stdout, got.returncode) == expected:
        return []
    return ["%r and %d, expected %r and %d" % ((got.stdout, got.returncode) + expected)]


def make(args, env=None, path=""):
    full = {k: v for k, v in os.environ.items()
            if k not in ("MAKEFLAGS", "MFLAGS", "MAKEOVERRIDES", "MAKELEVEL", "ARCH", "DEPS")}
    full.update(env or {}, PATH=path + full["PATH"])
    return subprocess.run(["make", "-s", "-C", ROOT] + args, env=full, capture_output=True,
                          text=True)


def goal_problems(goals, expected):
    got = make(["-n", "BUILD=/nonexistent"] + goals)
    calls = [l.split("install-deps.sh ", 1)[1] for l in got.stdout.splitlines()
             if "install-deps.sh" in l]
    return [] if calls == expected else ["install-deps %r, expected %r" % (calls, expected)]


def step_problems(goals, expected):
    steps = []
    for l in make(["-n", "BUILD=/nonexistent"] + goals).stdout.splitlines():
        for mark, step in (("install-deps.sh", "deps"), ("run-nicshow.sh --check", "check"),
                           ("run-nicshow.sh", "run"), (" -B /nonexistent/win32 ", "build win32"),
                           (" -B /nonexistent/win64 ", "build win64")):
            if mark in l:
                steps.append(step)
                break
    return [] if steps == expected else ["steps %r, expected %r" % (steps, expected)]


def x86_run_refused():
    """Where i386 programs cannot start: one line, no build, make fails."""
    with tempfile.TemporaryDirectory(dir=EXEC_DIR) as tmp:
        got = make(["BUILD=" + tmp + "/build", "run", "ARCH=x86"],
                   dict(NO_I386, STUB=tmp + "/stub"), stand_ins(tmp) + ":")
        built = os.path.exists(tmp + "/build/win32")
    err = got.stderr.splitlines()
    if (got.returncode and not built and len(err) == 2 and err[1].startswith("make: ***")
            and err[0] == "make run: " + KERNEL_OFF + " (make run without ARCH runs the x64 build)."):
        return []
    return ["exit code %d, %s, standard error %r" % (
        got.returncode, "built" if built else "not built", err)]


def e2e_past_failure():
    """A failing x64 script (through run.sh, where wine64 is here): the x86 scripts still
    run, the summary is said, make fails."""
    with tempfile.TemporaryDirectory(dir=EXEC_DIR) as tmp:
        for arch, build, rc in (("x64", "win64", 1), ("x86", "win32", 0)):
            os.makedirs("%s/%s/bin" % (tmp, build))
            open("%s/%s/bin/Nicshow-%s.dll" % (tmp, build, arch), "w").close()
            with open("%s/test_%s.sh" % (tmp, arch), "w") as f:
                f.write("exit %d\n" % rc)
            if rc and os.access("/usr/lib/wine/wine64", os.X_OK):
                test = '"bash" "%s/tests/e2e/run.sh" "%s/test_%s.sh" "%s/%s/bin"' % (
                    ROOT, tmp, arch, tmp, build)
            else:
                test = '"bash" "-c" "echo \'test_%s %s\' >>e2e-results.txt; exit %d"' % (
                    arch, "failed" if rc else "ran", rc)
            with open("%s/%s/CTestTestfile.cmake" % (tmp, build), "w") as f:
                f.write("add_test(test_%s %s)\n" % (arch, test))
        got = make(["-o", "win32", "-o", "win64", "BUILD=" + tmp, "DEPS=", "e2e"])
    last = got.stdout.splitlines()[-1:]
    want = ["end to end: the x64 build ran (1 script, failed: test_x64); the x86 build ran "
            "(1 script)"]
    return [] if got.returncode and last == want else [
        "exit code %d, last line %r, expected %r" % (got.returncode, last, want)]


def bench_without_plots():
    """matplotlib that cannot be had stops no benchmark: bench-wine.sh is reached."""
    with tempfile.TemporaryDirectory(dir=EXEC_DIR) as tmp:
        got = make(["-o", "win32", "-o", "win64", "BUILD=" + tmp, "bench-wine"],
                   {"STUB": tmp + "/stub"},
                   stand_ins(tmp, "python3-matplotlib", "python3-matplotlib") + ":")
    return [] if "bench-wine: " in got.stdout + got.stderr else [
        "bench-wine.sh not reached: %r" % got.stderr]


def bench_problems(sizes, expected):
    with tempfile.TemporaryDirectory() as tmp:
        with open(tmp + "/b.tsv", "w") as f:
            f.write("interfaces\tprogram\tmedian_ms\tmin_ms\trounds\trepeat\n")
            for k, ipconfig in sizes:
                for p in ("loaded loaded_a rfloor rfloor_a nicshow nicshow_a floor floor_a "
                          "load idle").split():
                    f.write("%d\t%s\t10\t10\t5\t3\n" % (k, p))
                f.write("%d\tipconfig\t%d\t10\t5\t3\n" % (k, ipconfig))
        got = subprocess.run(["bash", ROOT + "/scripts/bench-wine.sh", "--tables", tmp + "/b.tsv",
                              "x64"], capture_output=True, text=True)
    lines = [l for l in got.stdout.splitlines() if "ipconfig /all at" in l]
    want = [IPC % "" + expected, IPC % " /A" + expected]
    return [] if lines == want else ["%r, expected %r" % (lines, want)]


def main():
    failures = 0
    i386 = i386_programs_start()
    for row in ROWS:
        with tempfile.TemporaryDirectory(dir=EXEC_DIR) as tmp:
            problems = run_row(row, tmp, i386)
        for p in problems:
            print("FAIL: %s: %s" % (row[0], p))
        failures += bool(problems)
    wine32 = os.access("/usr/lib/wine/wine", os.X_OK) and LD_LINUX
    ran = skipped = 0
    for row in WINE_ROWS:
        problems = wine_problems(row, i386, wine32)
        if problems == "skipped":
            skipped += 1
            continue
        ran += problems is not None
        for p in problems or []:
            print("FAIL: wine-env.sh with %r, noexec %r: %s" % (row[0], row[3], p))
        failures += bool(problems)
    checks = ([("make %s" % " ".join(g), goal_problems, (g, e)) for g, e in GOALS]
              + [("make -n %s" % " ".join(g), step_problems, (g, e)) for g, e in STEPS]
              + [("make run ARCH=x86 where i386 programs cannot start", x86_run_refused, ()),
                 ("make e2e past a failing script", e2e_past_failure, ()),
                 ("make bench-wine without matplotlib", bench_without_plots, ())]
              + [("bench-wine.sh's ipconfig target at %r" % (r[0],), bench_problems, r)
                 for r in BENCH_ROWS])
    for name, check, args in checks:
        problems = check(*args)
        for p in problems:
            print("FAIL: %s: %s" % (name, p))
        failures += bool(problems)
    if skipped:
        print("deps-check: %d noexec rows skipped: no mount namespace here (root needed)" % skipped)
    print("deps-check: %d of %d rows failed (%d of wine-env.sh's rows do not fit this machine)"
          % (failures, len(ROWS) + ran + len(checks), len(WINE_ROWS) - ran - skipped))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
