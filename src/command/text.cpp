// Narrow record texts as UTF-16.
#include "text.h"

void ansi_to_wide(const char *text, size_t max_bytes, LPWSTR out)
{
    int length = 0;
    int chars;

    out[0] = 0;
    if (!text)
        return;
    if (max_bytes > TEXT_BUFFER_CHARS - 1)
        max_bytes = TEXT_BUFFER_CHARS - 1;
    while ((size_t)length < max_bytes && text[length])
        length++;
    if (!length)
        return;
    chars = MultiByteToWideChar(CP_ACP, 0, text, length, out, TEXT_BUFFER_CHARS - 1);
    out[chars > 0 ? chars : 0] = 0;
}
