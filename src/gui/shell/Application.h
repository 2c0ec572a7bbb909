#pragma once

// Program entry: parses --data DIR, opens the database, logs in, runs the main window.
int runApplication(int argc, char *argv[]);
