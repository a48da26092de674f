# Sourced by wine-env.sh and install-deps.sh: whether this machine runs i386 programs, and
# if not, why. Two different things stop them: a kernel without IA-32 emulation refuses
# every one ("Exec format error"), and a kernel that has it still needs the 32-bit
# libraries (libc6:i386, pulled in by wine32:i386) for any program that is not static.
# NICSHOW_NO_I386=1 makes a machine whose kernel can answer as one whose kernel cannot.

_i386_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Where the probe may be run from, in this order: a temporary folder is often mounted
# noexec, and the build folder almost never is.
_i386_dirs() {
    printf '%s\n' "${TMPDIR:-/tmp}"
    [ -z "${NICSHOW_BIN:-}" ] || dirname "$NICSHOW_BIN"
    printf '%s\n' "${NICSHOW_BUILD:-$_i386_root/build}" /tmp /var/tmp /dev/shm
}

# The kernel's part alone: a static i386 program of 96 bytes that needs no library and
# only exits with 42 (ELF header, one loadable segment, mov eax,1; mov ebx,42; int 0x80).
# 0: the kernel starts it; 1: it refuses it; 2: not known, since no folder tried lets
# programs be executed. A noexec folder and an Exec format error both give 126, so the
# probe runs only where a copy of a native program has just run.
kernel_runs_i386() {
    [ "${NICSHOW_NO_I386:-0}" != 1 ] || return 1
    local native dir d rc
    native=$(type -P true) || return 2
    local elf='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08'
    elf+='\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
    elf+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0'
    elf+='\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80'
    while IFS= read -r dir; do
        d=$(mktemp -d "$dir/nicshow-i386.XXXXXX" 2>/dev/null) || continue
        if cp "$native" "$d/native" 2>/dev/null && "$d/native" 2>/dev/null; then
            printf "$elf" >"$d/probe"
            chmod +x "$d/probe"
            rc=0
            "$d/probe" 2>/dev/null || rc=$?
            rm -rf "$d"
            return $((rc == 42 ? 0 : 1))
        fi
        rm -rf "$d"
    done < <(_i386_dirs)
    return 2
}

# The whole of it: the kernel, and the 32-bit loader that every dynamic i386 program needs.
machine_runs_i386() {
    kernel_runs_i386 && /lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1
}

# Why the probe could not be run, as a clause.
I386_NO_EXEC="no folder here allows programs to be executed (TMPDIR, the build folder, /tmp,"
I386_NO_EXEC+=" /var/tmp and /dev/shm tried), so whether the kernel starts i386 programs is not known"

# Half a sentence on which of the two is missing, for messages about 32-bit Wine.
i386_state() {
    local rc=0
    kernel_runs_i386 || rc=$?
    case $rc in
        1) echo "this machine's kernel cannot start i386 programs (IA-32 emulation off)" ;;
        2) echo "$I386_NO_EXEC" ;;
        *) if ! machine_runs_i386; then
               echo "the kernel can start i386 programs, only the 32-bit libraries are missing"
           else
               echo "this machine runs i386 programs"
           fi ;;
    esac
}
