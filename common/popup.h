// Timed popup message in a small bordered window.
#pragma once

// Shows text at screen row 5, column 10 for `seconds` whole seconds.
void dopopup(const char *text, int seconds);
