// Registration of the program as the handler of the common text file
// classes under HKEY_CLASSES_ROOT, and the hand-back to "notepad.exe".
#pragma once

// True when the class's verb (edit, open, icon, print) holds the program's
// own command, its path in any letter case, quoted or not.
bool IsOwnVerb(const char* className, int verb);
// Writes the program's command for the verb (`own`), or hands it back to
// "notepad.exe"; missing keys are created. Errors are not reported.
void SetVerb(const char* className, int verb, bool own);

// IDM_ASSOCIATIONS: the dialog; on OK only the verbs whose state differs from
// their check box are rewritten.
void AssociationsCommand(int id);
