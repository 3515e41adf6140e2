#pragma once

// Report generation times: the schedule of a group with 150 dates on 6
// courts, and 300 mailing labels, each laid out and written as a PDF.
// Prints its figures; needs a running QApplication.
void benchReports();
