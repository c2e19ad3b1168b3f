/* zorva_units.h -- the program's numbered channels, for user libraries.
 *
 * The user libraries (libgeomxact.so with GEOMXACT, libnewmodes.so with
 * NEWMODES, see zorva_userlib.h) share the program's numbered units: GEOMXACT
 * reads its data lines from the unit it is handed in its set-up call, and
 * both routines write their messages to the error log (unit 1) and the run
 * log (unit 4).  The functions below are implemented in the program and
 * exported by it; a user library calls them and is linked without them
 * (they are resolved against the program when it is loaded).
 *
 * Plain C; every function may be called from C, C++ or Fortran (BIND(C)).
 * Status values: 0 success, -1 end of file (reads only), 1 failure (unit
 * not open, bad argument, input/output error).  None of these functions
 * writes a message of its own.
 */
#ifndef ZORVA_UNITS_H
#define ZORVA_UNITS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Fixed channels of the program. */
#define ZORVA_UNIT_ERRLOG 1 /* error log of the current stage */
#define ZORVA_UNIT_RUNLOG 4 /* run log zorvalog.txt */
#define ZORVA_UNIT_SCREEN 6 /* screen */

/* Open status for zorva_open_unit. */
#define ZORVA_OPEN_OLD 0     /* the file must exist */
#define ZORVA_OPEN_REPLACE 1 /* create the file, or empty an existing one */

/* Read the next line (record) of text unit UNIT into LINE, which holds SIZE
 * characters: the line without its line end, cut to SIZE - 1 characters and
 * ended by a NUL.  Returns 0, -1 at end of file, 1 on failure. */
int zorva_read_line(int unit, char* line, int size);

/* Write TEXT (NUL-terminated) as one line to text unit UNIT (6 is the
 * screen) and flush the unit.  Returns 0 or 1. */
int zorva_write_line(int unit, const char* text);

/* Open the text file NAME (as written, trailing blanks dropped) on UNIT with
 * STATUS ZORVA_OPEN_OLD or ZORVA_OPEN_REPLACE; a file already open on UNIT
 * is closed first.  For the routine's own files, on the free unit the
 * program hands over (NEWMODES: IUEXT).  Returns 0 or 1. */
int zorva_open_unit(int unit, const char* name, int status);

/* Close UNIT (a unit that is not open is passed over). */
void zorva_close_unit(int unit);

#ifdef __cplusplus
}
#endif

#endif /* ZORVA_UNITS_H */
