/*
 * TextGenDLL: a library that gives the Kelmora screen saver its sayings by
 * program. Drop the library into a words folder; the saver loads it by its
 * full path, asks it for the names of its text procedures and calls each of
 * them in turn. KELMGDBG.exe loads a plug-in the same way, for testing: it
 * lists every entry of the names block and, at load, names the entry where
 * the saver would stop with Em042.
 *
 * The contract, for C and C++ (plain C declarations, no C++ needed):
 *
 *  - Three kinds of export, all taking exactly one 32-bit-or-pointer
 *    argument and using the standard calling convention (__stdcall; the
 *    callee removes its argument, which matters on 32-bit x86):
 *      GetTextgenProcNames  (required)  names the text procedures;
 *      a text procedure     (any name)  gives one saying;
 *      GetTextgenCnfgDlg    (optional)  shows the plug-in's settings dialog.
 *  - Export names are looked up exactly as written (case-sensitive), so
 *    they must not be decorated: list them in a .def file (see the sample
 *    plug-ins) or link with --kill-at.
 *  - Results are 16 bits wide; only the low 16 bits of the return value
 *    are read.
 *  - Memory is handed over as a movable global block (GlobalAlloc with
 *    GMEM_MOVEABLE): the plug-in allocates it, stores its handle where the
 *    host asks, and never touches it again; the host unlocks and frees it.
 *  - Texts are Shift-JIS (code page 932) bytes: lines separated by CR LF,
 *    a line starting "@" is a small sub line, "@>" a small line set to the
 *    right. Lengths count bytes. End the text with a NUL byte after the
 *    counted bytes so that the viewer can show it too.
 *
 * What the saver does with each answer:
 *  - The library is loaded from its full path in the words folder for one
 *    show item and released after its last text; every visit of the show
 *    loads it anew and asks GetTextgenProcNames again, so a plug-in may
 *    name different procedures each time (from its settings, the date...).
 *  - The procedures are called in the order of the names block, one text
 *    each, each text with its own transition.
 *  - Numbered messages, after which the show goes on with the next file:
 *      Em040  the file cannot be loaded as a library;
 *      Em041  GetTextgenProcNames is not exported;
 *      Em042  an entry names no exported procedure: a size of 0, no block,
 *             an empty name, or a name without its NUL within its 20 bytes;
 *      Em043  a text procedure returned 0, or a length without a block;
 *      Em045  the plug-in did not answer in time, or ended its process.
 *  - Nothing past the end of a block is read: a names size larger than the
 *    block walks only the entries the block holds, and a text length
 *    larger than the text block is cut to the block.
 *  - The saver runs the library in a host process of its own kind
 *    (KELMTG64.EXE or KELMTG32.EXE), so 32-bit and 64-bit plug-ins both
 *    work with either saver. A procedure may take its time: the show goes
 *    on meanwhile, but after a few seconds without an answer, or when the
 *    process ends (a fault, an exit), the item ends with Em045. Standard
 *    output and error lead nowhere. The library stays loaded in its host
 *    for one show item, so what it keeps between calls is kept there, and
 *    the host's thread serves its windows and timers between calls. A
 *    library still unloading after two seconds has its host ended; the
 *    next plug-in item waits for it meanwhile.
 */
#ifndef KELMORA_TEXTGEN_H
#define KELMORA_TEXTGEN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One entry of the names block: the export name of a text procedure,
 * NUL-terminated, so at most 19 characters. Entry i begins at byte 20 * i;
 * the size returned by GetTextgenProcNames says how many entries count. */
#define TEXTGEN_NAME_ENTRY_SIZE 20
#define TEXTGEN_NAME_MAX 19

/* Returned by a text procedure that has nothing to give: the host shows
 * its own error message instead. */
#define TEXTGEN_FAILED 0

/* Allocates the names block, stores its handle at *names and returns the
 * block's size in bytes (a multiple of 20). Required. */
typedef WORD (WINAPI *TextgenNamesProc)(HGLOBAL *names);

/* Allocates a text block, stores its handle at *text and returns the
 * text's length in bytes, or TEXTGEN_FAILED. */
typedef WORD (WINAPI *TextgenTextProc)(HGLOBAL *text);

/* Shows the plug-in's own modal settings dialog over owner and returns
 * when it closes. Optional; the result is not used. */
typedef WORD (WINAPI *TextgenConfigProc)(HWND owner);

/* The exports a plug-in defines, declared here so that their types match
 * what the host calls. Text procedures take the TextgenTextProc form under
 * names of the plug-in's choosing. */
WORD WINAPI GetTextgenProcNames(HGLOBAL *names);
WORD WINAPI GetTextgenCnfgDlg(HWND owner);

#ifdef __cplusplus
}
#endif

#endif /* KELMORA_TEXTGEN_H */
