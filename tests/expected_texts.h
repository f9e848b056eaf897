// The tool's fixed texts as they reach standard output, written out here byte
// for byte (Shift_JIS, line ends as 0x0D 0x0A), so that the tests compare
// the output with the bytes users see rather than with the tool's constants.
#ifndef ZIREL_TESTS_EXPECTED_TEXTS_H_
#define ZIREL_TESTS_EXPECTED_TEXTS_H_

#include <string>

// The usage text, after the banner when there is no argument.
inline const std::string USAGE_TEXT =
    " usage:N64ZIRELCNV.EXE {Zirel.n64 romfile} > {outputfile}\r\n";

// "このROMフォーマットには対応していません。"
inline const std::string FORMAT_MESSAGE =
    "\x82\xB1\x82\xCC\x52\x4F\x4D\x83\x74\x83\x48\x81\x5B\x83\x7D\x83\x62\x83"
    "\x67\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82"
    "\xB9\x82\xF1\x81\x42";

// "ZirelのROMデータではありません。"
inline const std::string TITLE_MESSAGE =
    "Zirel\x82\xCC\x52\x4F\x4D\x83\x66\x81\x5B\x83\x5E\x82\xC5\x82\xCD\x82\xA0"
    "\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

// "V1.%cのROMには対応していません。" with `version_char` for %c.
inline std::string version_message(char version_char) {
  return std::string("\x56\x31\x2E") + version_char +
         "\x82\xCC\x52\x4F\x4D\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4"
         "\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42";
}

// A line end, then "ROMデータが途中で終わっています。", after the text of an
// image that ends inside the message region.
inline const std::string TRUNCATED_MESSAGE =
    "\r\n\x52\x4F\x4D\x83\x66\x81\x5B\x83\x5E\x82\xAA\x93\x72\x92\x86\x82\xC5\x8F"
    "\x49\x82\xED\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42";

#endif  // ZIREL_TESTS_EXPECTED_TEXTS_H_
