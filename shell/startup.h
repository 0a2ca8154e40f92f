// Start-up: the program's own name taken off its command line.
#pragma once

// The argument string: the command line after the program's name and the
// blanks and tabs around it, unparsed (a quoted first word ends at its quote).
const char* ArgumentString(const char* commandLine);
