#pragma once

// Report generation times: the schedule of a group with 150 dates on 6
// courts, and 300 mailing labels, each laid out and written as a PDF; then
// how long printing a 1,000-entry group's schedule takes to its setup
// dialog, and the longest stretch on the way in which the window's events
// did not run. Prints its figures; needs a running QApplication.
void benchReports();
