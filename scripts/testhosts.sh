#!/bin/bash
# Test hosts in network namespaces, for the end-to-end tests and the benchmarks. Only
# documentation addresses (192.0.2.0/24, 198.51.100.0/24, 203.0.113.0/24, 2001:db8::/32)
# are given out, and nothing here sends traffic anywhere.
#
#   scripts/testhosts.sh create NS         the end-to-end layout below
#   scripts/testhosts.sh create-many NS N  N veth pairs, some down, some IPv6 only
#   scripts/testhosts.sh delete NS         remove the namespace and everything in it
#   scripts/testhosts.sh check             exit 0 when namespaces can be made here
#
# The end-to-end layout (MAC addresses fixed, no link-local IPv6 addresses):
#   lo  127.0.0.1/8 (loopback)
#   a0  192.0.2.10/24, 192.0.2.11/24, 2001:db8:a::10/64   02:00:00:00:0a:00  up
#   a1  198.51.100.7/32                                    02:00:00:00:0a:01  up
#   b0  203.0.113.9/24                                     02:00:00:00:0b:00  up, no carrier
#   b1  (no address)                                       02:00:00:00:0b:01  down
#   c0  203.0.113.20/28, 2001:db8:c::20/64                 02:00:00:00:0c:00  up
#   c1  2001:db8:d::1/64 only                              02:00:00:00:0c:01  up
# a default route through 192.0.2.1 on a0 (Wine reports it as a0's gateway; nothing is
# ever sent there), and /etc/netns/NS/resolv.conf naming 192.0.2.53 and the search
# domain example.test.
set -e

pair() {  # NS A B MAC_A MAC_B
    ip link add "$2" netns "$1" type veth peer name "$3" netns "$1"
    ip -n "$1" link set "$2" address "$4" addrgenmode none
    ip -n "$1" link set "$3" address "$5" addrgenmode none
}

create() {
    local ns=$1
    ip netns add "$ns"
    mkdir -p "/etc/netns/$ns"
    printf 'nameserver 192.0.2.53\nsearch example.test\n' >"/etc/netns/$ns/resolv.conf"
    ip -n "$ns" link set lo up
    pair "$ns" a0 a1 02:00:00:00:0a:00 02:00:00:00:0a:01
    pair "$ns" b0 b1 02:00:00:00:0b:00 02:00:00:00:0b:01
    pair "$ns" c0 c1 02:00:00:00:0c:00 02:00:00:00:0c:01
    ip -n "$ns" addr add 192.0.2.10/24 dev a0
    ip -n "$ns" addr add 192.0.2.11/24 dev a0
    ip -n "$ns" -6 addr add 2001:db8:a::10/64 dev a0 nodad
    ip -n "$ns" addr add 198.51.100.7/32 dev a1
    ip -n "$ns" addr add 203.0.113.9/24 dev b0
    ip -n "$ns" addr add 203.0.113.20/28 dev c0
    ip -n "$ns" -6 addr add 2001:db8:c::20/64 dev c0 nodad
    ip -n "$ns" -6 addr add 2001:db8:d::1/64 dev c1 nodad
    for link in a0 a1 b0 c0 c1; do
        ip -n "$ns" link set "$link" up
    done
    ip -n "$ns" route add default via 192.0.2.1 dev a0
}

create_many() {
    local ns=$1 count=$2 i a b
    ip netns add "$ns"
    mkdir -p "/etc/netns/$ns"
    printf 'nameserver 192.0.2.53\nsearch example.test\n' >"/etc/netns/$ns/resolv.conf"
    ip -n "$ns" link set lo up
    for ((i = 0; i < count; i += 2)); do
        a=v$i
        b=v$((i + 1))
        pair "$ns" $a $b "02:00:00:$(printf '%02x:%02x' $((i / 256)) $((i % 256))):00" \
            "02:00:00:$(printf '%02x:%02x' $((i / 256)) $((i % 256))):01"
        # IPv4 documentation addresses for the first pairs, IPv6 only beyond them.
        if ((i < 250)); then
            ip -n "$ns" addr add "192.0.2.$((i + 1))/24" dev $a
            ip -n "$ns" addr add "198.51.100.$((i + 1))/24" dev $b
        fi
        ip -n "$ns" -6 addr add "2001:db8:$(printf '%x' $i)::1/64" dev $a nodad
        ip -n "$ns" link set $a up
        # every fifth pair has its peer down, so one end has no carrier
        ((i / 2 % 5 == 4)) || ip -n "$ns" link set $b up
    done
}

delete() {
    ip netns del "$1" 2>/dev/null || true
    rm -rf "/etc/netns/$1"
}

check() {
    [ "$(id -u)" -eq 0 ] || return 1
    command -v ip >/dev/null || return 1
    local probe="nicshow-probe-$$"
    ip netns add "$probe" 2>/dev/null || return 1
    ip netns del "$probe"
}

case "$1" in
    create) create "$2" ;;
    create-many) create_many "$2" "$3" ;;
    delete) delete "$2" ;;
    check) check ;;
    *) echo "usage: $0 create NS | create-many NS N | delete NS | check" >&2; exit 2 ;;
esac
