// One getter for the size dance of the IP Helper queries, written once.
#include "sized_block.h"

int get_sized_block(const BlockQuery *query, void **block, ULONG *size, DWORD *answer)
{
    bool must_grow = query->must_grow || query->max_calls == 0;
    ULONG wanted = query->first_size;
    DWORD rc = NO_ERROR;
    int calls = 0;
    int result = 1;

    *block = NULL;
    if (wanted == 0) {
        // Never a size offered without a block: the probe offers 0 bytes.
        rc = query->call(query->args, NULL, &wanted);
        calls++;
        if (wanted == 0)
            goto done;
        wanted += query->slack;
    }
    for (;;) {
        ULONG offered = wanted;
        void *buffer = HeapAlloc(GetProcessHeap(), 0, offered);

        if (!buffer) {
            result = -1;
            break;
        }
        rc = query->call(query->args, buffer, &wanted);
        calls++;
        if (rc == NO_ERROR) {
            *block = buffer;
            result = 0;
            break;
        }
        HeapFree(GetProcessHeap(), 0, buffer);
        if (rc != ERROR_BUFFER_OVERFLOW || calls == query->max_calls)
            break;
        // The same offer again would get the same answer, for ever.
        if (must_grow && wanted <= offered)
            break;
        wanted += query->slack;
    }
done:
    if (size)
        *size = wanted;
    if (answer)
        *answer = rc;
    return result;
}
