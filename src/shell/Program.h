#pragma once

class Application;
struct ClockSeams;

// The clock window's view of the platform: the real clock, login name and regional
// settings, and the application's message box, end request and catch point.
ClockSeams platformSeams(Application &application);

// The whole program on the real platform, from the data module to the exit; returns the
// exit status. A QApplication must exist.
int runProgram();
