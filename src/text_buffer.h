// The size, in characters with the terminator, of the text buffers handed between
// functions: a function that fills a caller's buffer assumes this many unless its
// comment says otherwise.
#ifndef NICSHOW_TEXT_BUFFER_H
#define NICSHOW_TEXT_BUFFER_H

#define TEXT_BUFFER_CHARS 1024

#endif
