#pragma once

class TForm1;
class Tpara;
class TInfo;
class TVerlauf;

// The version line the info window shows.
inline constexpr char program_version_line[] = "Version 1.1.0";

struct ProgramWindows {
    TForm1* main;
    Tpara* para;
    TInfo* info;
    TVerlauf* verlauf;
};

// The program start, once a QApplication exists: creates the main window, the
// parameter window, the info window and the history window (all three
// hidden) in that order and applies the German text set. Shows nothing; the
// caller shows the main window, runs the event loop and deletes the four
// windows afterwards.
ProgramWindows start_program();
