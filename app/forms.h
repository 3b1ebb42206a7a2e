#pragma once
// The two windows of the program; both live from start-up to the end.

class TFormMain;
class TFormAbout;

extern TFormMain* FormMain;
extern TFormAbout* FormAbout;
