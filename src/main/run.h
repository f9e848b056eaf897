// The tool from banner to exit status.
//
// Order of a run: the banner; with no argument the usage text (status 0);
// open the ROM image named by the first argument ("file %s not found.",
// status 1); open `zirel.tbl` in the current directory ("table data not
// found.", status 1); load the character table; check the image's header
// (a refusal ends the run with status 1); decode the message region (an image
// that ends inside the region gets a Japanese note and status 1); status 0.
// Further arguments are ignored.
//
// Everything goes to standard output, buffered, and is delivered whole
// however the run ends. When standard output cannot take it, the status is 1
// and one line says so on standard error.
#ifndef ZIREL_MAIN_RUN_H_
#define ZIREL_MAIN_RUN_H_

struct Platform;

// The table file, looked up in the current directory.
constexpr const char* TABLE_FILE_NAME = "zirel.tbl";

// Runs the tool on the process's arguments; returns the exit status.
int run(int argc, const char* const* argv, Platform& platform);

#endif  // ZIREL_MAIN_RUN_H_
