// The raw baselines' clients (argv: PROGRAM, its name, DEVICE): a drain that reads like the
// panel's reader, and a stamp that answers every read with the time of its answer.
#pragma once

int RunDrain(int argc, char** argv);
int RunStamp(int argc, char** argv);
