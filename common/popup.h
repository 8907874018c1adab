// Timed popup message in a small bordered window.
#pragma once

// Shows text at screen row 5, column 10 for `seconds` whole seconds.
void dopopup(const char *text, int seconds);

// When set, told of every popup (its text and seconds) as it is shown;
// lets tests see the messages. Null in the programs.
extern void (*popup_observer)(const char *text, int seconds);
