// How catstub tells the user anything: the three kinds of box (the texts are in core/join_texts.h).
#pragma once

#include "core/join_texts.h"
#include "stub/stub_text.h"

// "User Confirm", OK and Cancel, question icon; true only for OK.
bool AskToCatenate();
// The same box for the rebuild's question, with its own text.
bool AskToRebuild(const char* text);
// "Fatal Error", stop icon, OK only.
void ShowFatal(const char* text);
// "Info", information icon, OK only.
void ShowInfo(const char* text);
// The system's own text for a Win32 error code, as the system gives it.
void AppendSystemText(StubText& text, unsigned long code);
