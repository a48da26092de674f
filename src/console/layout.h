// The two-column form of the report's labelled lines:
//
//   columns 0-27   the label (its text begins with three blanks) and a dot leader
//   columns 28-30  ":  "
//   column  31...  the value
//
//   "   Host name . . . . . . . :  myhost"
//   "   DNS servers . . . . . . :  192.0.2.53"
//   "                               198.51.100.53"      (a continuation line)
//
// Report code never counts columns: it calls write_label for the first value of a field
// and write_continuation for each further value, then writes the value (QPuts, Printf or
// write_highlighted) and ends the line with end_line. None of these functions ends a
// line or looks at the break flag, and all return 0.
#ifndef NICSHOW_CONSOLE_LAYOUT_H
#define NICSHOW_CONSOLE_LAYOUT_H

#include "../platform/win32.h"

#define LABEL_COLUMNS 28  // label and leader together
#define VALUE_COLUMN 31   // where every value begins

// count blanks on standard output.
int write_spaces(DWORD count);
// count columns of dot leader: a blank first when count is odd, then ". " pairs, so
// that the dots of every line stand in the even columns and the leader ends in a blank.
int write_dot_leader(DWORD count);
// The label, its leader out to column 27 and ":  "; the next character goes to column
// 31. A label of 28 columns or more gets no leader.
int write_label(LPCWSTR label);
// The blanks in front of a further value of the same field, up to column 31.
int write_continuation(void);

// A whole line with one plain value: the label and leader, the value (nothing when it is
// NULL) and the line end. Unlike the functions above it ends the line, so it returns 0
// or USER_BREAK.
int write_report_line(LPCWSTR label, LPCWSTR value);

#endif
