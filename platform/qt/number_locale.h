#pragma once
// Numbers as in the "C" locale for the whole process. QApplication sets the C library's
// locale from the desktop's language (LANG=de_DE.UTF-8 makes printf write "85,3" and atof
// stop at the "."), so right after it is made this sets LC_NUMERIC back to "C", as Qt
// recommends, and makes "C" Qt's default locale for the dialogs' number fields. Texts,
// character classes and the rest of the desktop's language stay as they are.

void UseCNumberLocale();
