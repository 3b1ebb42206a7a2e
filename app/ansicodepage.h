#pragma once
// The system's ANSI code page, as the note codec converts with it.

#include "app/notecodec.h"

const notecodec::CodePage& AnsiCodePage();
