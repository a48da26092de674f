# Sourced by wine-env.sh and install-deps.sh: whether this machine runs i386 programs, and
# if not, why. Two different things stop them: a kernel without IA-32 emulation refuses
# every one ("Exec format error"), and a kernel that has it still needs the 32-bit
# libraries (libc6:i386, pulled in by wine32:i386) for any program that is not static.
# NICSHOW_NO_I386=1 makes a machine whose kernel can answer as one whose kernel cannot.

# The kernel's part alone: a static i386 program of 96 bytes that needs no library and
# only exits with 42 (ELF header, one loadable segment, mov eax,1; mov ebx,42; int 0x80).
kernel_runs_i386() {
    [ "${NICSHOW_NO_I386:-0}" != 1 ] || return 1
    local probe rc
    probe=$(mktemp "${TMPDIR:-/tmp}/nicshow-i386.XXXXXX") || return 1
    local elf='\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08'
    elf+='\x34\0\0\0\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0'
    elf+='\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0'
    elf+='\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80'
    printf "$elf" >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ]
}

# The whole of it: the kernel, and the 32-bit loader that every dynamic i386 program needs.
machine_runs_i386() {
    kernel_runs_i386 && /lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1
}

# Half a sentence on which of the two is missing, for messages about 32-bit Wine.
i386_state() {
    if ! kernel_runs_i386; then
        echo "this machine's kernel cannot start i386 programs (IA-32 emulation off)"
    elif ! machine_runs_i386; then
        echo "the kernel can start i386 programs, only the 32-bit libraries are missing"
    else
        echo "this machine runs i386 programs"
    fi
}
