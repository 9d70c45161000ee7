// The panel connected and kept busy, idle or repainting for a while (argv: PROGRAM, its name,
// PANEL_DIR, SECONDS).
#pragma once

int WatchStream(int argc, char** argv);
int WatchIdle(int argc, char** argv);
int WatchPaint(int argc, char** argv);
