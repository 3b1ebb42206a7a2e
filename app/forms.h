#pragma once
// The main window of the program; it lives from start-up to the end.

class TFormMain;

extern TFormMain* FormMain;
