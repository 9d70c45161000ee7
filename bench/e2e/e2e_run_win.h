// quorvex-e2e run PANEL_DIR [--quick] [--keys-only] [--stream-mb N]: every figure of the
// benchmark, printed as one JSON object.
#pragma once

int RunBenchmark(int argc, char** argv);
