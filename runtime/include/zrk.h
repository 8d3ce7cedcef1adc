/*
 * zrk.h - the form runtime library (libZRK.so).
 *
 * Prints or previews a form filled with the lines of a data file. Load the
 * library by name (dlopen("libZRK.so", RTLD_NOW)) and look the entry points
 * up, or link against it. C linkage; call from the thread that runs the
 * caller's user interface, if it has one.
 *
 * Threads: one job runs at a time in a process. A call made while another
 * thread's job is running waits until that job has returned, then runs; the
 * calls are served one after the other, never side by side.
 *
 * Arguments (of both entry points):
 *   owner     the caller's native window id (X11 window), 0 for none. The
 *             job's message boxes and its print dialog are kept above this
 *             window where the windowing system allows it.
 *   formPath  the form file (.zrk), a NUL-terminated path in the system's
 *             encoding, of any length.
 *   dataPath  the data file (.dat), likewise.
 *   control   a CONTROL statement such as "CONTROL CANCEL=ON, PRINTER=Default;",
 *             or NULL. NULL and "" leave every option at its default.
 *             CANCEL=ON    show the abort dialog ("印刷の中断") while printing;
 *             PRINTER=Default (any case)  print on the default CUPS queue
 *                          without a dialog; otherwise the print dialog asks;
 *             LASTROW=n    last row of figures on the last page;
 *             ENCODING=UTF-8|AUTO|SJIS  how the data file is written (both
 *                          entry points; default SJIS). UTF-8 lines are turned
 *                          into Shift-JIS before the column rules apply; a
 *                          character Shift-JIS lacks, or bytes that are no
 *                          UTF-8, print as "？" and one warning after the job
 *                          says how many and from which line. AUTO reads
 *                          UTF-8 when a byte-order mark or valid UTF-8 opens
 *                          the first 64 KiB, else Shift-JIS;
 *             XOFFSET=n, YOFFSET=n  move everything printed by n tenths of a
 *                          millimetre right / down (-500..500); the preview
 *                          shows the page unshifted and prints shifted.
 *             FORMAT=CSV|JSON  the data file holds records by name instead of
 *                          the pages' lines (both entry points; default: lines).
 *                          A name matches the tag of a field, in any case;
 *                          fields sharing a tag are one slot whose lines run in
 *                          row order. CSV: RFC 4180 with a header line of
 *                          names, each record one page; JSON: an array of
 *                          documents (or an object whose "pages" member is
 *                          one), each an object of names with a string or
 *                          number, or an array of them for a slot of several
 *                          lines. Values beyond a slot's lines continue on the
 *                          next page with the single-line slots repeated.
 *                          Records are UTF-8 unless ENCODING names another
 *                          (CSV only; JSON is always UTF-8). A value too long
 *                          for its field is cut at whole characters and a name
 *                          that matches no tag is ignored, each with one
 *                          warning; malformed records fail with -2 and a
 *                          message naming the line and column;
 *             GROUPBY=name  CSV: consecutive records with the same value of
 *                          this column make one document; its single-line
 *                          slots take the first record's values, its
 *                          multi-line slots one line per record;
 *             A value these four cannot take is refused, and so is any of
 *             them given twice ("XOFFSET=10, XOFFSET=999"): the message
 *             "制御情報 - XOFFSETの指定に誤りがあります" (or ENCODING, FORMAT, YOFFSET)
 *             and the result -1, before the form is read. The other keys
 *             take their first value when given twice.
 *
 * The strings are copied at the start of the call; the call returns when the
 * job has finished. Each call is independent: the library creates its own Qt
 * application object when the caller has none (on the offscreen platform
 * when no display answers, as when DISPLAY names an X server that has gone
 * away) and leaves the caller's alone. Without a display no dialog can be
 * answered, so the default queue is used instead of the print dialog.
 * Messages are shown in message boxes, or written as one line on standard
 * error when there is no display. No failure of a job ends the caller's
 * process: running out of memory is the message "メモリが足りません" and a
 * result code.
 *
 * Result of ZRK_Print:
 *     0  done: every page printed, printing stopped from the abort dialog,
 *        or nothing to print
 *     1  the user cancelled the print dialog (no message)
 *    -1  the form file cannot be opened or fails the check, or the control
 *        statement has a value it refuses
 *    -2  the data file cannot be opened, is empty or cannot be read to its
 *        end ("帳票データがオープンできません"); nothing is printed
 *    -3  no printer can be had: no such queue, no default queue
 *        ("プリンタＤＣの獲得に失敗しました")
 *   -11  the printer cannot be used: the document cannot be started, or the
 *        print system refused the finished job ("プリンタが使用できません");
 *        also when the job ran out of memory ("メモリが足りません")
 *
 * ZRK_View shows the pages in a preview window and returns when the window
 * is closed. The same four arguments; its control options are
 *             PRINT=ON     print once the first page shows, keep the preview;
 *             PRINT=ONLY   print, then close the preview;
 *             SCALE=n|AUTO the first zoom in percent (50..500) or whole page;
 *             LASTROW=n    as for printing.
 *
 * Result of ZRK_View:
 *     0  the preview was shown and closed
 *    -1  the form file cannot be opened or fails the check, or the control
 *        statement has a value it refuses
 *    -2  the data file cannot be opened, is empty or cannot be read
 *        ("帳票データがオープンできません")
 *    -3  there is no display to show the window on (a message says so), or
 *        the job ran out of memory ("メモリが足りません")
 */
#ifndef ZRK_H
#define ZRK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int ZRK_Print(uintptr_t owner, const char* formPath, const char* dataPath, const char* control);

int ZRK_View(uintptr_t owner, const char* formPath, const char* dataPath, const char* control);

typedef int (*ZRK_PrintFunction)(uintptr_t owner, const char* formPath, const char* dataPath,
                                 const char* control);
typedef int (*ZRK_ViewFunction)(uintptr_t owner, const char* formPath, const char* dataPath,
                                const char* control);

#ifdef __cplusplus
}
#endif

#endif
