// The main window's title and the instance marker's text.
#pragma once

// Title "[name]-LORK2" from the current file name; the marker window's text
// becomes the lower-cased short path (the full path when no short form exists).
void SetTitle();
