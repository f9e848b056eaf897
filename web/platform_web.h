// The platform layer in the browser: the tool's run over files the page holds.
//
// The page (page.js, in a worker) imports these functions into the module:
//   env.read_at(file, offset, buffer, n) -> bytes stored at `buffer`, fewer
//       than n only at the end of the file; file 0 is the image, 1 the table
//   env.write_error(line) -> appends a zero-terminated line to standard error
// and calls the exports below. There is no file system: the argument names
// the image (any name but the empty one opens it), and `zirel.tbl` is the
// table when the page has one.
#ifndef ZIREL_WEB_PLATFORM_WEB_H_
#define ZIREL_WEB_PLATFORM_WEB_H_

#include <cstddef>
#include <cstdint>

extern "C" {

// A buffer of `n` bytes for the page to fill (the argument, a text table).
void* zirel_alloc(size_t n);
void zirel_free(void* p);

// Runs the tool as `n64zirelcnv NAME` with the image and, when `has_table`,
// a table file in the current directory; `name` is null for a run without
// argument. `has_image` 0 means there is no such file. Returns the status.
// Several runs may use one instance: each starts from the same state.
int zirel_run(const char* name, int has_image, int has_table);

// The last run's standard output.
const uint8_t* zirel_output();
size_t zirel_output_size();

}  // extern "C"

#endif  // ZIREL_WEB_PLATFORM_WEB_H_
