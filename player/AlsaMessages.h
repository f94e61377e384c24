#pragma once

// libasound, which libvlc's ALSA output uses, prints its complaints straight
// to standard error: eight lines for each audio block while no sound device
// works. This hands them to the program's diagnostics (halvex.diag) instead;
// nothing happens when the library is not installed.
void RouteAlsaMessagesToDiagnostics();
