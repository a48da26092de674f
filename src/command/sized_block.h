// The size dance of the IP Helper queries that fill a block the caller offers: a block
// too small is answered with ERROR_BUFFER_OVERFLOW and the size wanted, and one of that
// size is offered in its place. The interface table query (GetInterfaceInfo) answers
// ERROR_INSUFFICIENT_BUFFER instead: it is asked the size first, an answer not looked at,
// and the same answer to its block ends the dance.
#ifndef NICSHOW_COMMAND_SIZED_BLOCK_H
#define NICSHOW_COMMAND_SIZED_BLOCK_H

#include "../platform/win32.h"

struct BlockQuery {
    // Fills block, of *size bytes, or answers how many it wants in *size.
    DWORD (*call)(const void *args, void *block, ULONG *size);
    const void *args;
    // 0: a first call without a block only learns the size (its answer is not looked at).
    ULONG first_size;
    ULONG slack;       // added to every size asked for
    int max_calls;     // the size question included; 0 for no cap, then must_grow holds
    // A too-small answer that asks for no more than the block had ends the dance; without
    // it, the next call is made at whatever size was asked.
    bool must_grow;
};

// 0 and the filled block in *block, which the caller frees whole with HeapFree; 1 when the
// query gave none; -1 when memory ran out. *block is NULL but on 0. Unless NULL, *size
// receives the size the last call left and *answer the query's last answer.
int get_sized_block(const BlockQuery *query, void **block, ULONG *size, DWORD *answer);

#endif
