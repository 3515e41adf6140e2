#pragma once

// Times the export of a generated group of 64 entries over 104 dates (8
// courts of doubles, two dates a week for 52 weeks): the schedule as CSV and
// as 64 per-player calendars, each read from the database and written to
// files, against the aim of 0.2 s for both. Needs a running QApplication.
void benchExports();
