// vornakdsn --check DATABASE-PATH: whether the data source is as a run for the path leaves
// it, told without changing anything: no registry value, no event, no file moved, no box.
#ifndef VORNAKDSN_CHECK_H
#define VORNAKDSN_CHECK_H

// The exit statuses of a check, beside the refused path's 2.
const int kDataSourceRight = 0;
const int kDataSourceDiffers = 1;
const int kRegistryUnreadable = 3;

// One line on standard output when the data source is right, else one for each difference;
// a refused path or an unreadable registry on standard error. Returns the exit status.
int CheckDataSource(const char* databasePath);

#endif
